#pragma once
// The one simulation world: every body, the mouse-driven pusher, the fixed
// planes of the playing area, the camera and the floor, the display options,
// and the fixed-step update. Lengths in world units with z up; time in seconds.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "dynamics/BodyContact.h"
#include "dynamics/ContactLog.h"
#include "dynamics/ContactModel.h"
#include "dynamics/Vector.h"
#include "render/DrawTuning.h"
#include "render/GeometryCache.h"
#include "world/BroadPhase.h"
#include "world/Grab.h"

class CCamera;
class CFloor;
class CInertialBody;

// The fixed step of every CWorld::Step and every body's integration, seconds.
inline constexpr float kSimulationStep = 0.002f;

// The simulated-time clock, seconds, for the life of the process; not reset by
// a scene build. Double precision so that it keeps advancing by one step for
// any length of run.
extern double g_simulatedTime;

class CWorld
{
public:
    // Fills the square-root table, seeds the random generator from the clock.
    CWorld();
    ~CWorld();
    CWorld(const CWorld&) = delete;
    CWorld& operator=(const CWorld&) = delete;

    // Creates the camera and the floor and builds the current scene.
    void Initialize();

    // The scene index moves by delta, wrapping around the table, then BuildScene.
    void ChangeScene(int delta);
    // Empties the world and runs the builder of the current scene index.
    void BuildScene();

    // Keyboard operations.
    void AddBall();
    void RemoveLastBody();
    void ThrowAllBodies();
    void SelectTarget(int index);

    // Gravitational acceleration at a position, length units per second squared.
    CVector Gravity(const CVector& position) const;

    // Once per frame: dt is the smoothed frame time in seconds. Simulated
    // time advances by dt times timeScale (slow motion below 1); the camera
    // moves by dt, so it keeps its pace in slow motion.
    void Update(float dt, bool paused, float timeScale = 1.0f);
    // One fixed step of h seconds (always kSimulationStep).
    void Step(float h);
    // The whole picture of one frame.
    void Draw();

    // The scene builders, one per scene index, in the order of g_sceneNames.
    void BuildBilliards1();
    void BuildRings1();
    void BuildBowling();
    void BuildRailAndBalls();
    void BuildSpinningTops();
    void BuildBilliards2();
    void BuildDiskOnBalls();
    void BuildTower();
    void BuildBilliards3();
    void BuildDominoes();
    void BuildRings2();

    // The body at a list index (no bounds check), and the list's size.
    CInertialBody* Body(int index) const { return bodies[index].get(); }
    int BodyCount() const { return static_cast<int>(bodies.size()); }

    // Geometry shared by the bodies' drawables; declared first so that it
    // outlives every body.
    CGeometryCache geometryCache;
    std::unique_ptr<CCamera> camera;
    // Owned, in order of creation: the order of contact evaluation and the
    // index that SelectTarget takes. The pusher is never in this list.
    std::vector<std::unique_ptr<CInertialBody>> bodies;
    // What the camera follows: an element of the list or the pusher; not owned.
    CInertialBody* target = nullptr;
    std::unique_ptr<CInertialBody> pusher;
    std::unique_ptr<CFloor> floor;
    int32_t sceneIndex = 0;
    int32_t environmentMapping = 1;
    // 0 none, 1 fake, 2 true shadows.
    int32_t shadowMode = 0;
    int32_t follow = 0;
    // The contact law of the next step; switching keeps the scene as it is.
    EContactModel contactModel = EContactModel::Stable;
    // How the frame economises on many bodies; none of it changes a picture
    // with fewer bodies in view than its crowd.
    SDrawTuning drawTuning;

    // Visit every pair of bodies in the step instead of the broad phase's
    // candidates; both give the same result bit for bit, this one in time
    // quadratic in the number of bodies.
    bool allPairs = false;
    // Contact points of the last step: plane contacts, body pairs and pusher
    // contacts, each touching pair of shapes counted once.
    uint32_t stepContacts = 0;
    // Of those, the bodies' contacts with the floor and the walls.
    uint32_t stepPlaneContacts = 0;
    // Fixed steps run by the last Update.
    int32_t frameSteps = 0;
    // While set, every step keeps its contacts in contactLog and puts their
    // points in the diagnostic markers, those with the planes first.
    bool recordContacts = false;
    CContactLog contactLog;
    // The markers of contacts with a plane come before contactMarkersOfPlanes.
    size_t contactMarkersOfPlanes = 0;
    // The body held with the mouse, when there is one.
    std::optional<SGrab> grab;
    CBroadPhase broadPhase;
    // The simulated time slow motion has reached, seconds; negative at real
    // time.
    double slowMotionEnd = -1.0;
    // The last pair's contact coefficients, reused by the next alike pair.
    SPairCoefficients pairCoefficients;

private:
    void DeleteBodies();
    // Points every body's contactLog at the log, or back at nothing.
    void AttachContactLog(bool attach);
    // After a step's contacts: the recorded points into the diagnostic markers.
    void MarkRecordedContacts();
    // The held body's spring, or letting go of a body no longer in the list.
    void ApplyGrabOfStep();

    bool m_contactLogAttached = false;
};
