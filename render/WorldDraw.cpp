// The frame's passes: lights, the floor with no, fake or true shadows, the
// bodies and the pusher, and the additive reflections.

#include <GL/gl.h>

#include "dynamics/Body.h"
#include "render/Camera.h"
#include "render/Diagnostics.h"
#include "render/Floor.h"
#include "render/ShadowMatrix.h"
#include "world/World.h"

namespace
{
// Fixed in world coordinates: set after the view transform every frame.
constexpr float kLight0Position[4] = {-1.0f, -1.0f, 5.0f, 0.0f}; // directional, from above
constexpr float kLight0Ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kLight0Diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr float kLight0Specular[4] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr float kLight1Position[4] = {50.0f, 0.0f, 50.0f, 1.0f}; // point light
constexpr float kLight1Ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kLight1Diffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
constexpr float kLight1Specular[4] = {0.6f, 0.6f, 0.6f, 1.0f};

constexpr float kMarkerRadius = 0.5f;

void SetLight(GLenum light, const float ambient[4], const float diffuse[4], const float specular[4],
              const float position[4])
{
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
    glLightfv(light, GL_POSITION, position);
}

// Every body, the pusher and the markers flattened onto the floor along the
// light's rays, under the colour and stencil state the caller has set.
void ShadowPass(const CWorld& world, const float light[4])
{
    glPushMatrix();
    glMultMatrixf(ShadowMatrix(light).m);
    for (const auto& body : world.bodies)
    {
        body->DrawBare();
    }
    if (world.pusher != nullptr)
    {
        world.pusher->DrawBare();
    }
    DrawDiagnosticMarkers(kMarkerRadius);
    glPopMatrix();
}

void DrawFloor(const CWorld& world)
{
    if (world.floor != nullptr)
    {
        world.floor->Draw();
    }
}

// Stencil bit 0 marks the shadow of light 0, bit 1 that of light 1; the floor
// is then drawn once per region with the lights that reach it.
void DrawFloorWithTrueShadows(const CWorld& world)
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_STENCIL_TEST);

    glStencilFunc(GL_NOTEQUAL, 1, 1);
    glStencilMask(1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    ShadowPass(world, kLight0Position);

    glStencilFunc(GL_NOTEQUAL, 2, 2);
    glStencilMask(2);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    ShadowPass(world, kLight1Position);

    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);

    glStencilFunc(GL_EQUAL, 3, 0xFFFF); // both shadows: ambient only
    DrawFloor(world);
    glEnable(GL_LIGHT1);
    glStencilFunc(GL_EQUAL, 1, 0xFFFF); // shadow of light 0 only
    DrawFloor(world);
    glEnable(GL_LIGHT0);
    glStencilFunc(GL_EQUAL, 0, 0xFFFF); // no shadow
    DrawFloor(world);
    glDisable(GL_LIGHT1);
    glStencilFunc(GL_EQUAL, 2, 0xFFFF); // shadow of light 1 only
    DrawFloor(world);
}

// The lit floor multiplied by a grey per light; the stencil lets each pixel be
// darkened once per light however many shadows overlap there.
void DrawFloorWithFakeShadows(const CWorld& world)
{
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    DrawFloor(world);

    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_EQUAL, 0, 1);
    glStencilMask(1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);

    glColor3f(0.7f, 0.7f, 0.7f);
    ShadowPass(world, kLight0Position);

    glClear(GL_STENCIL_BUFFER_BIT);
    glColor3f(0.8f, 0.8f, 0.8f);
    ShadowPass(world, kLight1Position);

    glDisable(GL_BLEND);
}
} // namespace

CMatrix4 ShadowMatrix(const float light[4])
{
    const float x = light[0], y = light[1], z = light[2], w = light[3];
    const float d = z; // (0, 0, 1, 0) . light
    CMatrix4 m;
    m.m[0] = d;
    m.m[1] = 0.0f;
    m.m[2] = 0.0f;
    m.m[3] = 0.0f;
    m.m[4] = 0.0f;
    m.m[5] = d;
    m.m[6] = 0.0f;
    m.m[7] = 0.0f;
    m.m[8] = -x;
    m.m[9] = -y;
    m.m[10] = 0.0f;
    m.m[11] = -w;
    m.m[12] = 0.0f;
    m.m[13] = 0.0f;
    m.m[14] = 0.0f;
    m.m[15] = d;
    return m;
}

void CWorld::Draw()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (camera != nullptr)
    {
        camera->ApplyView();
    }

    glPushAttrib(GL_ENABLE_BIT | GL_STENCIL_BUFFER_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT);

    SetLight(GL_LIGHT0, kLight0Ambient, kLight0Diffuse, kLight0Specular, kLight0Position);
    SetLight(GL_LIGHT1, kLight1Ambient, kLight1Diffuse, kLight1Specular, kLight1Position);

    switch (shadowMode)
    {
    case 2:
        DrawFloorWithTrueShadows(*this);
        break;
    case 1:
        DrawFloorWithFakeShadows(*this);
        break;
    default:
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHT1);
        DrawFloor(*this);
        break;
    }

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    for (const auto& body : bodies)
    {
        body->Draw();
    }
    if (pusher != nullptr)
    {
        pusher->Draw();
    }
    DrawDiagnosticMarkers(kMarkerRadius);

    if (environmentMapping != 0)
    {
        for (const auto& body : bodies)
        {
            body->DrawEnvironment();
        }
        if (pusher != nullptr)
        {
            pusher->DrawEnvironment();
        }
    }

    glPopAttrib();
}
