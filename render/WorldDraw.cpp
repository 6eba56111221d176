// The frame's passes: lights, the floor with no, fake or true shadows, the
// bodies and the pusher, and the additive reflections.

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "dynamics/Body.h"
#include "render/Camera.h"
#include "render/Diagnostics.h"
#include "render/Floor.h"
#include "render/FramePasses.h"
#include "render/ShadowMatrix.h"
#include "render/ViewVolume.h"
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

// Which bodies each pass draws: one flag per body, then the pusher's. Bit 0:
// the body is in view; bit 1 and bit 2: its shadow of light 0 and of light 1
// reaches the view. Without culling every flag is set.
constexpr uint8_t kInView = 1;
constexpr uint8_t kShadowInView[2] = {2, 4};

struct SFrame
{
    CWorld& world;
    IFramePassObserver* observer;
    std::vector<uint8_t> drawn;

    void Done(EFramePass pass) const
    {
        if (observer != nullptr)
        {
            observer->PassDone(pass);
        }
    }
    template <typename TDraw> void ForEachBody(uint8_t flag, TDraw draw) const
    {
        const size_t count = world.bodies.size();
        for (size_t i = 0; i < count; ++i)
        {
            if ((drawn[i] & flag) != 0)
            {
                draw(*world.bodies[i]);
            }
        }
        if (world.pusher != nullptr && (drawn[count] & flag) != 0)
        {
            draw(*world.pusher);
        }
    }
};

void MarkDrawnBodies(SFrame& frame)
{
    const CWorld& world = frame.world;
    const size_t count = world.bodies.size();
    frame.drawn.assign(count + 1, static_cast<uint8_t>(kInView | kShadowInView[0] | kShadowInView[1]));
    if (!world.drawTuning.viewCulling)
    {
        return;
    }
    const CViewVolume view = CViewVolume::FromCurrentMatrices();
    const float* const lights[2] = {kLight0Position, kLight1Position};
    auto mark = [&](const CBody& body, uint8_t& flags)
    {
        if (body.boundingRadius <= 0.0f)
        {
            return; // no extent known: always drawn
        }
        const CVector centre = body.matrix.Translation();
        flags = 0;
        if (view.SphereVisible(centre, body.boundingRadius))
        {
            flags |= kInView;
        }
        for (int light = 0; light < 2; ++light)
        {
            if (view.ShadowVisible(centre, body.boundingRadius, lights[light]))
            {
                flags |= kShadowInView[light];
            }
        }
    };
    for (size_t i = 0; i < count; ++i)
    {
        mark(*world.bodies[i], frame.drawn[i]);
    }
    if (world.pusher != nullptr)
    {
        mark(*world.pusher, frame.drawn[count]);
    }
}

// Every body, the pusher and the markers flattened onto the floor along the
// light's rays, under the colour and stencil state the caller has set.
void ShadowPass(const SFrame& frame, int light)
{
    glPushMatrix();
    glMultMatrixf(ShadowMatrix(light == 0 ? kLight0Position : kLight1Position).m);
    frame.ForEachBody(kShadowInView[light], [](const CBody& body) { body.DrawBare(); });
    DrawDiagnosticMarkers(kMarkerRadius);
    glPopMatrix();
    frame.Done(light == 0 ? kPassShadow0 : kPassShadow1);
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
void DrawFloorWithTrueShadows(const SFrame& frame)
{
    const CWorld& world = frame.world;
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_STENCIL_TEST);

    glStencilFunc(GL_NOTEQUAL, 1, 1);
    glStencilMask(1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    ShadowPass(frame, 0);

    glStencilFunc(GL_NOTEQUAL, 2, 2);
    glStencilMask(2);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    ShadowPass(frame, 1);

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
    frame.Done(kPassFloor);
}

// The lit floor multiplied by a grey per light; the stencil lets each pixel be
// darkened once per light however many shadows overlap there.
void DrawFloorWithFakeShadows(const SFrame& frame)
{
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    DrawFloor(frame.world);
    frame.Done(kPassFloor);

    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_EQUAL, 0, 1);
    glStencilMask(1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);

    glColor3f(0.7f, 0.7f, 0.7f);
    ShadowPass(frame, 0);

    glClear(GL_STENCIL_BUFFER_BIT);
    glColor3f(0.8f, 0.8f, 0.8f);
    ShadowPass(frame, 1);

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
    DrawWorld(*this, nullptr);
}

void DrawWorld(CWorld& world, IFramePassObserver* observer)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (world.camera != nullptr)
    {
        world.camera->ApplyView();
    }
    SFrame frame{world, observer, {}};
    MarkDrawnBodies(frame);

    glPushAttrib(GL_ENABLE_BIT | GL_STENCIL_BUFFER_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT);

    SetLight(GL_LIGHT0, kLight0Ambient, kLight0Diffuse, kLight0Specular, kLight0Position);
    SetLight(GL_LIGHT1, kLight1Ambient, kLight1Diffuse, kLight1Specular, kLight1Position);

    switch (world.shadowMode)
    {
    case 2:
        DrawFloorWithTrueShadows(frame);
        break;
    case 1:
        DrawFloorWithFakeShadows(frame);
        break;
    default:
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHT1);
        DrawFloor(world);
        frame.Done(kPassFloor);
        break;
    }

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    frame.ForEachBody(kInView, [](const CBody& body) { body.Draw(); });
    DrawDiagnosticMarkers(kMarkerRadius);
    frame.Done(kPassBodies);

    if (world.environmentMapping != 0)
    {
        frame.ForEachBody(kInView, [](const CBody& body) { body.DrawEnvironment(); });
        frame.Done(kPassReflections);
    }

    glPopAttrib();
}
