// The frame update's fixed sub-stepping and the world's keyboard operations.

#include <gtest/gtest.h>

#include <cmath>

#include "dynamics/Body.h"
#include "render/Camera.h"
#include "render/Platform.h"
#include "render/StartupState.h"
#include "tests/support/HeadlessGLTest.h"
#include "world/MouseState.h"
#include "world/World.h"

namespace
{
class WorldUpdateTest : public CPlatformTest
{
protected:
    void SetUp() override
    {
        CPlatformTest::SetUp();
        g_simulatedTime = 0.0;
    }

    // Steps run by one frame, read off the clock.
    long StepsOf(CWorld& world, float dt)
    {
        const double before = g_simulatedTime;
        world.Update(dt, false);
        return std::lround((g_simulatedTime - before) / 0.002);
    }
};

TEST_F(WorldUpdateTest, FrameRunsItsTimeInFixedStepsRoundedUp)
{
    const struct
    {
        float dt;
        long steps;
    } cases[] = {{0.001f, 1}, {0.004f, 2}, {0.05f, 25}, {0.0169f, 9}};
    for (const auto& c : cases)
    {
        CWorld world;
        g_simulatedTime = 0.0;
        EXPECT_EQ(StepsOf(world, c.dt), c.steps) << c.dt;
    }
}

TEST_F(WorldUpdateTest, OvershootIsNotPaidBack)
{
    CWorld world;
    EXPECT_EQ(StepsOf(world, 0.0169f), 9);
    EXPECT_NEAR(g_simulatedTime, 0.018, 1e-7);
    EXPECT_EQ(StepsOf(world, 0.0169f), 9);
}

TEST_F(WorldUpdateTest, ClockKeepsItsStepLongAfterStart)
{
    CWorld world;
    // Past 2^16 seconds a single-precision clock would no longer move at all.
    g_simulatedTime = 70000.0;
    EXPECT_EQ(StepsOf(world, 0.02f), 10);
    g_simulatedTime = 4.0e6;
    EXPECT_EQ(StepsOf(world, 0.02f), 10);
}

TEST_F(WorldUpdateTest, PausedFrameRunsNoStep)
{
    CWorld world;
    world.Update(0.05f, true);
    EXPECT_EQ(g_simulatedTime, 0.0);
}

TEST_F(WorldUpdateTest, InitialShadowModeFollowsStencilDepth)
{
    const struct
    {
        int bits, mode;
    } cases[] = {{8, 2}, {2, 2}, {1, 1}, {0, 0}};
    for (const auto& c : cases)
    {
        g_stencilBits = c.bits;
        CWorld world;
        EXPECT_EQ(world.shadowMode, c.mode) << c.bits;
    }
    g_stencilBits = 0;
}
TEST_F(WorldUpdateTest, PusherVelocityFollowsTheMouseRelativeToTheView)
{
    // The start view looks along +y (azimuth -pi/2): moving the mouse right
    // slides the pusher towards +x, moving it up pushes it along +y, or lifts
    // it in the second mode.
    const struct
    {
        bool left, right;
        int key;
        float mx, my;
        CVector v;
    } cases[] = {
        {true, false, 0, 0.1f, 0.0f, {20.0f, 0.0f, 0.0f}},
        {true, false, 0, 0.0f, 0.1f, {0.0f, 20.0f, 0.0f}},
        {false, false, kVkControl, 0.0f, 0.1f, {0.0f, 20.0f, 0.0f}},
        {false, true, 0, 0.1f, 0.0f, {10.0f, 0.0f, 0.0f}},
        {false, false, kVkShift, 0.0f, 0.1f, {0.0f, 0.0f, 5.0f}},
        // Ctrl and the left button take precedence over the second mode.
        {true, true, kVkShift, 0.0f, 0.1f, {0.0f, 20.0f, 0.0f}},
        {false, false, 0, 0.3f, 0.3f, {0.0f, 0.0f, 0.0f}},
    };
    for (const auto& c : cases)
    {
        CWorld world;
        world.Initialize();
        g_mouseState = MouseState();
        g_mouseState.leftButtonDown = c.left;
        g_mouseState.rightButtonDown = c.right;
        g_mouseState.velocity = CVector(c.mx, c.my, 0.0f);
        for (const int key : {kVkControl, kVkShift})
        {
            platform.SetKeyDown(key, key == c.key);
        }
        world.Update(0.001f, false);
        const CVector v = world.pusher->linearVelocity;
        EXPECT_NEAR(v.x, c.v.x, 1e-4f);
        EXPECT_NEAR(v.y, c.v.y, 1e-4f);
        EXPECT_NEAR(v.z, c.v.z, 1e-4f);
    }
    g_mouseState = MouseState();
}

TEST_F(WorldUpdateTest, PausedFrameKeepsThePusherVelocityAndStillMovesTheCamera)
{
    CWorld world;
    world.Initialize();
    world.pusher->SetVelocity(CVector(1.0f, 2.0f, 3.0f));
    world.follow = 1;
    const CVector centre = world.camera->centre;
    world.Update(0.02f, true);
    EXPECT_EQ(world.pusher->linearVelocity, CVector(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(g_simulatedTime, 0.0);
    EXPECT_NE(world.camera->centre, centre);
}
} // namespace
