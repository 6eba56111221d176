// The pusher's speed bound: the frame update never moves the pusher faster,
// however fast the mouse, and the worst pushes at the bound (straight down
// onto a ball, a ball driven into a wall, a sweep through a pile) keep every
// body's centre above the floor and inside the walls at every step.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/ContactModel.h"
#include "dynamics/Random.h"
#include "tests/support/HeadlessGLTest.h"
#include "world/MouseState.h"
#include "world/PusherSpeed.h"
#include "world/World.h"

// ctest lists a case's contact model by its name (the enumeration's own
// namespace, where the printer looks).
void PrintTo(EContactModel model, std::ostream* out)
{
    *out << (model == EContactModel::Classic ? "Classic" : "Stable");
}

namespace
{
// The playing area: walls at x = +-40 and y = +-60, the floor at z = 0.
constexpr float kWallX = 40.0f;
constexpr float kWallY = 60.0f;

class PusherUpdateTest : public CPlatformTest
{
protected:
    void TearDown() override
    {
        g_mouseState = MouseState{};
        CPlatformTest::TearDown();
    }
};

// A flick across the window in a frame asks for about 20,000 units/s.
TEST_F(PusherUpdateTest, AFastMouseMovesThePusherAtTheBoundInItsDirection)
{
    CHeadlessGL gl(16, 16);
    CWorld world;
    world.Initialize();
    g_mouseState.leftButtonDown = true;
    g_mouseState.velocity = CVector(60.0f, -80.0f, 0.0f); // window sizes per second
    world.Update(0.002f, false);
    const CVector v = world.pusher->linearVelocity;
    EXPECT_NEAR(std::sqrt(v.LengthSquared()), kMaxPusherSpeed, 1e-3f * kMaxPusherSpeed);
    // The start view looks along +y: mouse x moves the pusher along x, mouse
    // y (upwards) along +y.
    EXPECT_NEAR(v.x / kMaxPusherSpeed, 0.6f, 1e-4f);
    EXPECT_NEAR(v.y / kMaxPusherSpeed, -0.8f, 1e-4f);
}

TEST_F(PusherUpdateTest, AHandSpeedUnderTheBoundIsKeptExactly)
{
    CHeadlessGL gl(16, 16);
    CWorld world;
    world.Initialize();
    g_mouseState.rightButtonDown = true;
    g_mouseState.velocity = CVector(1.5f, 2.0f, 0.0f);
    world.Update(0.002f, false);
    const CVector v = world.pusher->linearVelocity;
    // The start azimuth is -pi/2: sideways is +x.
    EXPECT_FLOAT_EQ(v.x, 150.0f);
    EXPECT_NEAR(v.y, 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(v.z, 100.0f);
}

// One move of the pusher's script: along a unit direction for a distance at
// the case's speed, or, with no direction, at rest for a number of steps.
struct SMove
{
    CVector direction;
    float distance = 0.0f; // world units
    int restSteps = 0;
};

SMove Along(float x, float y, float z, float distance)
{
    return {CVector(x, y, z), distance, 0};
}

SMove Rest(int steps)
{
    return {CVector(0.0f, 0.0f, 0.0f), 0.0f, steps};
}

// One worst push: a scene, balls added, steps to let them land, then the
// pusher's script; every body is checked from the first step of the script.
struct SPushCase
{
    const char* name;
    int scene = 0;
    int addedBalls = 0;
    int landingSteps = 0;
    std::vector<SMove> script;
};

void PrintTo(const SPushCase& push, std::ostream* out)
{
    *out << push.name;
}

// The first body outside the playing area after the step, or empty.
std::string Escape(const CWorld& world, int step)
{
    for (int i = 0; i < world.BodyCount(); ++i)
    {
        const CVector p = world.Body(i)->Position();
        if (!(p.z > 0.0f && std::fabs(p.x) < kWallX && std::fabs(p.y) < kWallY))
            return "step " + std::to_string(step) + ": body " + std::to_string(i) + " at (" +
                   std::to_string(p.x) + ", " + std::to_string(p.y) + ", " + std::to_string(p.z) +
                   ")";
    }
    return {};
}

// Runs the case with the pusher at speed under a contact model; the first
// escape, or empty.
std::string RunPush(const SPushCase& push, float speed, EContactModel model)
{
    CWorld world;
    SeedRandom(1);
    world.contactModel = model;
    world.sceneIndex = push.scene;
    world.Initialize();
    for (int i = 0; i < push.addedBalls; ++i)
        world.AddBall();
    for (int k = 0; k < push.landingSteps; ++k)
        world.Step(kSimulationStep);

    int step = 0;
    for (const SMove& move : push.script)
    {
        const CVector velocity = move.direction * speed;
        const int steps =
            move.restSteps > 0
                ? move.restSteps
                : static_cast<int>(std::ceil(move.distance / (speed * kSimulationStep)));
        for (int k = 0; k < steps; ++k, ++step)
        {
            world.pusher->SetVelocity(velocity);
            world.Step(kSimulationStep);
            std::string escape = Escape(world, step);
            if (!escape.empty())
                return escape;
        }
    }
    return {};
}

class WorstPushTest : public ::testing::TestWithParam<std::tuple<SPushCase, EContactModel>>
{
protected:
    void SetUp() override { SetPlatform(&platform); }
    void TearDown() override { SetPlatform(nullptr); }

    CHeadlessPlatform platform;
};

TEST_P(WorstPushTest, KeepsEveryBodyInsideThePlanesAtEveryStep)
{
    CHeadlessGL gl(16, 16);
    const auto& [push, model] = GetParam();
    const std::string escape = RunPush(push, kMaxPusherSpeed, model);
    EXPECT_TRUE(escape.empty()) << escape;
}

// Scene 0 ("Billiards 1"): ball 0 rests at (0, -30, 3.5), the pusher (radius
// 3) waits at (0, -50, 3), the rack of five balls stands at y 6.5 to 19.2.
INSTANTIATE_TEST_SUITE_P(
    AtTheBound, WorstPushTest,
    ::testing::Combine(
        ::testing::Values(
            // Up 20, over ball 0, straight down onto it, and on pressing down for
            // 200 more where the floor holds the pusher.
            SPushCase{"down_into_the_floor",
                      0,
                      0,
                      0,
                      {Along(0, 0, 1, 20), Along(0, 1, 0, 20), Along(0, 0, -1, 223), Rest(500)}},
            // Ball 0 from 10 to its left, driven into the wall x = 40; the
            // pusher goes on through the wall.
            SPushCase{"into_a_side_wall",
                      0,
                      0,
                      0,
                      {Along(-1, 0, 0, 10), Along(0, 1, 0, 20), Along(1, 0, 0, 60), Rest(500)}},
            // Ball 0 and the rack driven along y into the end wall y = 60.
            SPushCase{"into_the_end_wall", 0, 0, 0, {Along(0, 1, 0, 120), Rest(500)}},
            // Ball 0 carried against the wall x = 40, then the pusher comes down
            // on it from above: into the floor and the wall at once.
            SPushCase{"down_into_floor_and_wall",
                      0,
                      0,
                      0,
                      {Along(-1, 0, 0, 10), Along(0, 1, 0, 20), Along(1, 0, 0, 43),
                       Along(-1, 0, 0, 6), Along(0, 0, 1, 20), Along(1, 0, 0, 6),
                       Along(0, 0, -1, 223), Rest(500)}},
            // 300 balls land for 3 s, then the pusher sweeps the floor's length
            // through the pile, and back across it diagonally.
            SPushCase{"through_a_pile",
                      0,
                      300,
                      1500,
                      {Along(0, 1, 0, 120), Along(-0.6f, -0.8f, 0, 120), Rest(500)}}),
        ::testing::Values(EContactModel::Classic, EContactModel::Stable)),
    [](const auto& info)
    {
        const EContactModel model = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) +
               (model == EContactModel::Classic ? "_Classic" : "_Stable");
    });
} // namespace
