#include "world/World.h"

#include <cmath>

#include "dynamics/Body.h"
#include "dynamics/BodyContact.h"
#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Plane.h"
#include "dynamics/Random.h"
#include "render/Camera.h"
#include "render/Diagnostics.h"
#include "render/Floor.h"
#include "render/Platform.h"
#include "render/StartupState.h"
#include "shapes/Shape.h"
#include "world/MouseState.h"
#include "world/PusherSpeed.h"
#include "world/SceneTable.h"

double g_simulatedTime = 0.0;

namespace
{
struct SFixedPlane
{
    CPlane plane;
    float restitution;
    float friction;
};

// The floor, then the walls at x = -40, x = 40, y = -60, y = 60; the normals
// point into the playing area.
constexpr SFixedPlane kFixedPlanes[5] = {
    {{{0.0f, 0.0f, 1.0f}, 0.0f}, 0.8f, 0.5f},   {{{1.0f, 0.0f, 0.0f}, 40.0f}, 0.9f, 0.5f},
    {{{-1.0f, 0.0f, 0.0f}, 40.0f}, 0.9f, 0.5f}, {{{0.0f, 1.0f, 0.0f}, 60.0f}, 0.9f, 0.5f},
    {{{0.0f, -1.0f, 0.0f}, 60.0f}, 0.9f, 0.5f},
};

// Before the camera exists the pusher is steered as from the start view.
constexpr float kStartAzimuth = -1.5707964f;

// How many pairs ahead a body, then its list of shapes, then the shapes are
// fetched into the cache: each stage reads a pointer the stage before fetched.
constexpr size_t kFetchBodyAhead = 12;
constexpr size_t kFetchShapeListAhead = 8;
constexpr size_t kFetchShapesAhead = 4;

// The parts of a body that a body contact reads: its placement, its
// coefficients and shape list, its velocities and accumulators.
void FetchBody(const CInertialBody& body)
{
    __builtin_prefetch(&body.matrix);
    __builtin_prefetch(&body.matrix.m[12]);
    __builtin_prefetch(&body.shapes);
    __builtin_prefetch(&body.linearVelocity);
    __builtin_prefetch(&body.contactCount);
}

void FetchShapeList(const CInertialBody& body)
{
    __builtin_prefetch(body.shapes.data());
}

void FetchShapes(const CInertialBody& body)
{
    for (const auto& shape : body.shapes)
    {
        __builtin_prefetch(shape.get());
        __builtin_prefetch(&shape->matrix.m[12]);
        __builtin_prefetch(&shape->boundingRadius);
    }
}
} // namespace

CWorld::CWorld()
{
    BuildSqrtTable();
    SeedRandom(Platform().TimeGetTime());
    if (g_stencilBits >= 2)
    {
        shadowMode = 2;
    }
    else if (g_stencilBits == 1)
    {
        shadowMode = 1;
    }
    else
    {
        shadowMode = 0;
    }
}

CWorld::~CWorld()
{
    DeleteBodies();
    pusher.reset();
    camera.reset();
    floor.reset();
}

void CWorld::DeleteBodies()
{
    target = nullptr;
    // A body built later may take a removed one's place and index.
    grab.reset();
    while (!bodies.empty())
    {
        bodies.pop_back();
    }
}

void CWorld::Initialize()
{
    camera = std::make_unique<CCamera>();
    camera->Initialize();
    floor = std::make_unique<CFloor>(this);
    floor->Prepare();
    BuildScene();
}

void CWorld::ChangeScene(int delta)
{
    sceneIndex = WrapSceneIndex(sceneIndex + delta);
    BuildScene();
}

void CWorld::BuildScene()
{
    DeleteBodies();
    pusher.reset();
    // Any index a caller stored picks a scene; a negative one must not index
    // before the table.
    sceneIndex = WrapSceneIndex(sceneIndex);
    // The member pointer is read into a local first: g++ 12 with the
    // bounds sanitizer checks an indexed member pointer's call against a
    // register it never loaded, and stops a sound start-up.
    const auto build = kSceneTable[sceneIndex].build;
    (this->*build)();
    if (pusher)
    {
        // With restitution -1 every pusher contact is as inelastic as allowed.
        pusher->restitution = -1.0f;
        pusher->friction = 0.8f;
    }
    // Every scene holds at least two bodies; the guard keeps a short list safe.
    if (bodies.size() >= 2)
    {
        target = bodies[1].get();
    }
    else if (!bodies.empty())
    {
        target = bodies[0].get();
    }
    else
    {
        target = pusher.get();
    }
}

void CWorld::AddBall()
{
    bodies.emplace_back(CreateSphereBody(this, 30.0f, 3.5f));
    bodies.back()->ThrowRandomly();
}

void CWorld::RemoveLastBody()
{
    if (bodies.size() < 2)
    {
        return;
    }
    if (target == bodies.back().get())
    {
        target = pusher.get();
    }
    // A body made later may take the removed one's place in memory; it must
    // not find the removed one's contacts.
    const void* removed = bodies.back().get();
    if (grab && grab->body == removed)
    {
        grab.reset();
    }
    bodies.pop_back();
    for (const auto& body : bodies)
    {
        std::erase_if(body->anchors,
                      [removed](const SContactAnchor& anchor) { return anchor.other == removed; });
    }
}

void CWorld::ThrowAllBodies()
{
    for (const auto& body : bodies)
    {
        body->ThrowRandomly();
    }
}

void CWorld::SelectTarget(int index)
{
    if (index == -1)
    {
        target = pusher.get();
        follow = 1;
    }
    else if (index >= 0 && index < BodyCount())
    {
        target = bodies[index].get();
        follow = 1;
    }
    else
    {
        follow = 0;
    }
}

CVector CWorld::Gravity(const CVector& /*position*/) const
{
    return CVector(0.0f, 0.0f, -500.0f);
}

void CWorld::Update(float dt, bool paused, float timeScale)
{
    if (!paused)
    {
        const float a = camera ? camera->azimuth : kStartAzimuth;
        const float mx = g_mouseState.velocity.x;
        const float my = g_mouseState.velocity.y;
        const IPlatform& host = Platform();
        CVector v = kZeroVector;
        if (host.IsKeyDown(kVkControl) || g_mouseState.leftButtonDown)
        {
            v = CVector(-200.0f * (std::cos(a) * my + std::sin(a) * mx),
                        -200.0f * (std::sin(a) * my - std::cos(a) * mx), 0.0f);
        }
        else if (host.IsKeyDown(kVkShift) || g_mouseState.rightButtonDown)
        {
            v = CVector(-100.0f * std::sin(a) * mx, 100.0f * std::cos(a) * mx, 50.0f * my);
        }
        if (pusher)
        {
            pusher->SetVelocity(LimitPusherSpeed(v));
        }

        // The target comes from the clock itself, so the overshoot of the last
        // step is kept: simulated time may run up to one step ahead per frame.
        double end = g_simulatedTime + static_cast<double>(dt);
        if (timeScale != 1.0f)
        {
            // In slow motion a frame's share of time is often less than a
            // step; whole steps would then run ahead of it. The target is
            // kept apart and accumulated, so that on average the clock keeps
            // exactly to the share.
            // Steps run past it (single steps while paused) are not paid
            // back by a pause of the picture.
            if (slowMotionEnd < 0.0 ||
                slowMotionEnd < g_simulatedTime - static_cast<double>(kSimulationStep))
            {
                slowMotionEnd = g_simulatedTime;
            }
            slowMotionEnd += static_cast<double>(dt) * static_cast<double>(timeScale);
            end = slowMotionEnd;
        }
        else
        {
            slowMotionEnd = -1.0;
        }
        frameSteps = 0;
        while (g_simulatedTime < end)
        {
            Step(kSimulationStep);
            g_simulatedTime += static_cast<double>(kSimulationStep);
            ++frameSteps;
        }
    }
    else
    {
        frameSteps = 0;
    }

    if (camera)
    {
        const CVector aim =
            (follow != 0 && target != nullptr) ? target->Position() : CVector(0.0f, 0.0f, 0.5f);
        camera->Aim(aim, dt);
        camera->Orbit(dt);
    }
}

void CWorld::Step(float h)
{
    ClearDiagnosticNote();
    ClearDiagnosticMarkers();
    stepContacts = 0;
    stepPlaneContacts = 0;
    if (recordContacts || m_contactLogAttached)
    {
        contactLog.Clear();
        contactMarkersOfPlanes = 0;
        AttachContactLog(recordContacts);
    }
    if (bodies.empty())
    {
        return;
    }

    // No matrix moves until the integration, so each shape's world placement
    // is worked out once for all its plane and pair tests of this step. A
    // body's plane contacts touch that body alone, so they follow its clearing
    // in the same pass: a large world is read from memory once for both.
    if (pusher)
    {
        pusher->ClearForces();
        pusher->KeepShapePlacements();
    }
    // Each body's count holds only its plane contacts here.
    uint32_t planeContacts = 0;
    const bool stable = contactModel == EContactModel::Stable;
    for (const auto& body : bodies)
    {
        body->ClearForces();
        body->KeepShapePlacements();
        // CollidePlane's own first test, made here to spare the call for the
        // planes a body is far from, as most are.
        const CVector x = body->Position();
        for (const SFixedPlane& fixed : kFixedPlanes)
        {
            if (!(fixed.plane.Distance(x) >= body->boundingRadius))
            {
                if (stable)
                {
                    body->CollidePlaneStable(fixed.plane, fixed.restitution, fixed.friction, h);
                }
                else
                {
                    body->CollidePlane(fixed.plane, fixed.restitution, fixed.friction);
                }
            }
        }
        planeContacts += body->contactCount;
    }

    if (allPairs)
    {
        const size_t count = bodies.size();
        for (size_t i = 0; i < count; ++i)
        {
            for (size_t j = i + 1; j < count; ++j)
            {
                if (stable)
                {
                    CollideBodiesStable(*bodies[i], *bodies[j], pairCoefficients, h);
                }
                else
                {
                    CollideBodies(*bodies[i], *bodies[j], pairCoefficients);
                }
            }
        }
    }
    else
    {
        // The pairs that the loop above would not reject, in its order. The
        // second bodies of a pile lie anywhere in memory, so each is fetched
        // a few pairs ahead, in stages along its pointers.
        const std::vector<SBodyPair>& pairs = broadPhase.FindPairs(bodies);
        const size_t count = pairs.size();
        for (size_t k = 0; k < count; ++k)
        {
            if (k + kFetchBodyAhead < count)
            {
                FetchBody(*bodies[pairs[k + kFetchBodyAhead].second]);
            }
            if (k + kFetchShapeListAhead < count)
            {
                FetchShapeList(*bodies[pairs[k + kFetchShapeListAhead].second]);
            }
            if (k + kFetchShapesAhead < count)
            {
                FetchShapes(*bodies[pairs[k + kFetchShapesAhead].second]);
            }
            CInertialBody& a = *bodies[pairs[k].first];
            CInertialBody& b = *bodies[pairs[k].second];
            if (stable)
            {
                CollideBodiesStable(a, b, pairCoefficients, h);
            }
            else
            {
                CollideBodies(a, b, pairCoefficients);
            }
        }
    }

    if (grab)
    {
        ApplyGrabOfStep();
    }

    // The pusher meets each body after all of that body's pair contacts and
    // before its integration, which reads nothing of the bodies after it; the
    // pusher's own sums still run in body order. One pass again.
    // A body-pair contact adds one to both bodies' counts, a pusher contact one
    // to the body's and one to the pusher's.
    uint32_t counted = 0;
    for (const auto& body : bodies)
    {
        // The pusher is never at rest against a body: its contacts keep the
        // Classic law under either model.
        if (pusher)
        {
            CollideBodies(*pusher, *body, pairCoefficients);
        }
        counted += body->contactCount;
        body->DropShapePlacements();
        body->Integrate(h);
        if (stable)
        {
            body->ForgetOpenAnchors();
        }
        else if (!body->anchors.empty())
        {
            // Back under Stable, every contact starts afresh.
            body->anchors.clear();
        }
    }
    if (pusher)
    {
        counted += pusher->contactCount;
    }
    stepContacts = planeContacts + (counted - planeContacts) / 2;
    stepPlaneContacts = planeContacts;
    if (recordContacts)
    {
        MarkRecordedContacts();
    }

    if (pusher)
    {
        pusher->DropShapePlacements();
        // Kinematic: carried by the mouse, held at or above the floor, never
        // integrated and free to pass through the walls.
        CVector p = pusher->Position() + h * pusher->linearVelocity;
        if (p.z < 0.0f)
        {
            p.z = 0.0f;
        }
        pusher->matrix.SetTranslation(p);
    }
}

void CWorld::AttachContactLog(bool attach)
{
    CContactLog* const log = attach ? &contactLog : nullptr;
    for (const auto& body : bodies)
    {
        body->contactLog = log;
    }
    if (pusher)
    {
        pusher->contactLog = log;
    }
    m_contactLogAttached = attach;
}

void CWorld::MarkRecordedContacts()
{
    const std::vector<SContactRecord>& records = contactLog.Records();
    for (const SContactRecord& record : records)
    {
        if (record.kind == EContactKind::kPlane)
        {
            g_diagnosticMarkers.push_back(record.point);
        }
    }
    contactMarkersOfPlanes = g_diagnosticMarkers.size();
    for (const SContactRecord& record : records)
    {
        if (record.kind == EContactKind::kBody)
        {
            g_diagnosticMarkers.push_back(record.point);
        }
    }
}

void CWorld::ApplyGrabOfStep()
{
    const int index = grab->index;
    if (index < 0 || index >= BodyCount() || bodies[index].get() != grab->body)
    {
        grab.reset();
        return;
    }
    ApplyGrab(*grab, Gravity(grab->body->Position()));
}
