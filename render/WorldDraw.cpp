// The frame's passes: lights, the floor with no, fake or true shadows, the
// bodies and the pusher, and the additive reflections.

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dynamics/Body.h"
#include "render/Camera.h"
#include "render/Diagnostics.h"
#include "render/Floor.h"
#include "render/FramePasses.h"
#include "render/FreedMemory.h"
#include "render/Instruments.h"
#include "render/ShadowMatrix.h"
#include "render/SphereBatch.h"
#include "render/StartupState.h"
#include "render/Texture.h"
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

// Radius on screen, pixels, from which a coarse sphere still shows each level
// of detail's facets no more than by a pixel or so: 16 x 8 facets, 12 x 6,
// then 8 x 4 below the last.
constexpr float kDetailPixels[kCoarseDetailLevels] = {40.0f, 20.0f, 10.0f};

int DetailForPixels(float pixels)
{
    int detail = 0;
    while (detail < kCoarseDetailLevels && pixels < kDetailPixels[detail])
    {
        ++detail;
    }
    return detail;
}

struct SFrame
{
    CWorld& world;
    IFramePassObserver* observer;
    std::vector<uint8_t> drawn;
    std::vector<uint8_t> detail;       // per body as drawn, then the pusher's
    std::vector<uint8_t> batched;      // 1: drawn in the sphere batch, not alone
    const CBody* batchFirst = nullptr; // the batch's material; null: no batch
    bool crowd = false;                // more bodies in view than the tuning's crowd

    void Done(EFramePass pass) const
    {
        if (observer != nullptr)
        {
            observer->PassDone(pass);
        }
    }
    // The bodies, then the pusher, that the pass draws: those drawn alone,
    // or those of the batch.
    template <typename TDraw> void ForEachBody(uint8_t flag, TDraw draw, bool ofBatch = false) const
    {
        const size_t count = world.bodies.size();
        for (size_t i = 0; i <= count; ++i)
        {
            const CBody* body = i < count ? world.bodies[i].get() : world.pusher.get();
            if (body != nullptr && (drawn[i] & flag) != 0 && (batched[i] != 0) == ofBatch)
            {
                draw(*body, static_cast<int>(detail[i]));
            }
        }
    }
};

void MarkDrawnBodies(SFrame& frame)
{
    const CWorld& world = frame.world;
    const SDrawTuning& tuning = world.drawTuning;
    const size_t count = world.bodies.size();
    frame.drawn.assign(count + 1,
                       static_cast<uint8_t>(kInView | kShadowInView[0] | kShadowInView[1]));
    frame.detail.assign(count + 1, 0);
    frame.batched.assign(count + 1, 0);
    auto body = [&](size_t i) -> const CBody*
    { return i < count ? world.bodies[i].get() : world.pusher.get(); };
    const bool levelOfDetail = tuning.sharedGeometry && tuning.levelOfDetail;
    if (!tuning.viewCulling && !levelOfDetail)
    {
        frame.crowd =
            static_cast<int>(count) + (world.pusher != nullptr ? 1 : 0) > tuning.crowdBodies;
        return;
    }
    const CViewVolume view = CViewVolume::FromCurrentMatrices();
    const float* const lights[2] = {kLight0Position, kLight1Position};
    int inView = 0;
    for (size_t i = 0; i <= count; ++i)
    {
        const CBody* b = body(i);
        if (b == nullptr)
        {
            continue;
        }
        if (!tuning.viewCulling || b->boundingRadius <= 0.0f)
        {
            ++inView; // no culling, or no extent known: always drawn
            continue;
        }
        const CVector centre = b->matrix.Translation();
        uint8_t flags = 0;
        if (view.SphereVisible(centre, b->boundingRadius))
        {
            flags |= kInView;
            ++inView;
        }
        for (int light = 0; light < 2; ++light)
        {
            if (view.ShadowVisible(centre, b->boundingRadius, lights[light]))
            {
                flags |= kShadowInView[light];
            }
        }
        frame.drawn[i] = flags;
    }
    frame.crowd = inView > tuning.crowdBodies;
    if (!levelOfDetail || !frame.crowd)
    {
        return;
    }
    for (size_t i = 0; i <= count; ++i)
    {
        const CBody* b = body(i);
        if (b != nullptr && b->boundingRadius > 0.0f)
        {
            frame.detail[i] = static_cast<uint8_t>(
                DetailForPixels(view.PixelRadius(b->matrix.Translation(), b->boundingRadius)));
        }
    }
}

CSphereBatch& Batch()
{
    // Scratch arrays of bounded size, kept from frame to frame; only the one
    // drawing thread uses them.
    static CSphereBatch batch;
    return batch;
}

// Needs the crowd known; the reflection must come in the lit pass, if at all.
void MarkBatchedBodies(SFrame& frame, bool reflectionInLitPass)
{
    const CWorld& world = frame.world;
    if (!world.drawTuning.batchedSpheres || !frame.crowd ||
        (world.environmentMapping != 0 && !reflectionInLitPass))
    {
        return;
    }
    const size_t count = world.bodies.size();
    for (size_t i = 0; i <= count; ++i)
    {
        const CBody* body = i < count ? world.bodies[i].get() : world.pusher.get();
        if (body == nullptr || frame.drawn[i] == 0 || !CSphereBatch::CanCarry(*body))
        {
            continue;
        }
        if (frame.batchFirst == nullptr)
        {
            frame.batchFirst = body;
        }
        if (CSphereBatch::Alike(*body, *frame.batchFirst))
        {
            frame.batched[i] = 1;
        }
    }
}

// The batch's bodies in view, nearest the eye first (ties in drawing order).
void AddNearestFirst(const SFrame& frame, const CVector& eye, CSphereBatch& batch)
{
    struct SNear
    {
        float distanceSquared;
        const CBody* body;
        int detail;
    };
    static std::vector<SNear> order; // scratch kept between frames, one drawing thread
    order.clear();
    frame.ForEachBody(
        kInView,
        [&](const CBody& body, int detail) {
            order.push_back({(body.matrix.Translation() - eye).LengthSquared(), &body, detail});
        },
        true);
    std::stable_sort(order.begin(), order.end(),
                     [](const SNear& a, const SNear& b)
                     { return a.distanceSquared < b.distanceSquared; });
    for (const SNear& n : order)
    {
        batch.Add(*n.body, n.detail);
    }
}

// Every body, the pusher and the markers flattened onto the floor along the
// light's rays, under the colour and stencil state the caller has set.
void ShadowPass(const SFrame& frame, int light)
{
    const float* const position = light == 0 ? kLight0Position : kLight1Position;
    glPushMatrix();
    glMultMatrixf(ShadowMatrix(position).m);
    frame.ForEachBody(kShadowInView[light],
                      [](const CBody& body, int detail) { body.DrawBare(detail); });
    if (frame.batchFirst != nullptr)
    {
        CSphereBatch& batch = Batch();
        batch.BeginShadow(position, frame.world.drawTuning.silhouetteShadows);
        frame.ForEachBody(
            kShadowInView[light], [&](const CBody& body, int detail) { batch.Add(body, detail); },
            true);
        batch.End();
    }
    DrawDiagnosticMarkers(kMarkerRadius);
    glPopMatrix();
    frame.Done(light == 0 ? kPassShadow0 : kPassShadow1);
}

// Whether the GL can add the reflection in the lit pass: a second texture
// unit whose combiner multiplies its texture by a constant and adds the unit
// before (GL 1.3 and one of the combine extensions that offer that).
bool SecondUnitCanReflect()
{
    static const bool can = []
    {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        int major = 0, minor = 0;
        if (version == nullptr || extensions == nullptr ||
            std::sscanf(version, "%d.%d", &major, &minor) != 2)
        {
            return false;
        }
        GLint units = 0;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
        return (major > 1 || minor >= 3) && units >= 2 &&
               std::strstr(extensions, "GL_ATI_texture_env_combine3") != nullptr;
    }();
    return can;
}

// The one reflection texture of every body the lit pass draws when the frame
// adds reflections in that pass; null for the separate additive pass.
const CTexture* OnePassReflection(const SFrame& frame)
{
    const CWorld& world = frame.world;
    if (!world.drawTuning.singlePassReflections || !frame.crowd || !g_separateSpecular ||
        !SecondUnitCanReflect())
    {
        return nullptr;
    }
    const CTexture* texture = nullptr;
    bool alike = true;
    frame.ForEachBody(kInView,
                      [&](const CBody& body, int)
                      {
                          if (texture == nullptr)
                          {
                              texture = body.environmentTexture;
                          }
                          alike = alike && body.environmentTexture == texture &&
                                  body.environmentTexture != nullptr;
                      });
    return alike ? texture : nullptr;
}

// Texture unit 1 adds the sphere-mapped reflection, scaled by the colour of
// the additive pass, to the lit and textured colour of unit 0; the separate
// specular colour is added after both, as the two passes add it.
void AddReflectionOnSecondUnit(const CTexture& reflection)
{
    static constexpr float kReflectionColour[4] = {0.3f, 0.3f, 0.25f, 0.0f};
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    reflection.Bind();
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE_ADD_ATI); // a0 * a2 + a1
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB, GL_CONSTANT);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB, GL_SRC_COLOR);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, kReflectionColour);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glActiveTexture(GL_TEXTURE0);
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
    KeepFreedMemory(world.drawTuning.keepFreedMemory);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (world.camera != nullptr)
    {
        world.camera->ApplyView();
    }
    SFrame frame{world, observer, {}, {}, {}, nullptr, false};
    MarkDrawnBodies(frame);
    const CTexture* reflection = world.environmentMapping != 0 ? OnePassReflection(frame) : nullptr;
    MarkBatchedBodies(frame, reflection != nullptr);

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
    if (reflection != nullptr)
    {
        glPushAttrib(GL_TEXTURE_BIT | GL_ENABLE_BIT);
        AddReflectionOnSecondUnit(*reflection);
    }
    frame.ForEachBody(kInView, [](const CBody& body, int detail) { body.Draw(detail); });
    if (frame.batchFirst != nullptr)
    {
        CSphereBatch& batch = Batch();
        batch.BeginLit(*frame.batchFirst);
        if (world.drawTuning.nearestFirst && world.camera != nullptr)
        {
            AddNearestFirst(frame, world.camera->eye, batch);
        }
        else
        {
            frame.ForEachBody(
                kInView, [&](const CBody& body, int detail) { batch.Add(body, detail); }, true);
        }
        batch.End();
    }
    if (reflection != nullptr)
    {
        glPopAttrib();
    }
    DrawInstruments(world, kMarkerRadius);
    frame.Done(kPassBodies);

    if (world.environmentMapping != 0 && reflection == nullptr)
    {
        frame.ForEachBody(kInView,
                          [](const CBody& body, int detail) { body.DrawEnvironment(detail); });
        frame.Done(kPassReflections);
    }

    glPopAttrib();
}
