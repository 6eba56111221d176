// The Stable contact model against the Classic one: scenes left alone stand
// still, and what a user sees of a bounce, a slide and a pushed ball stays
// what Classic gives.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "support/HeadlessGLTest.h"
#include "tools/RestCheck.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
class ContactModelTest : public CHeadlessGLTest
{
protected:
    ContactModelTest() : CHeadlessGLTest(16, 16) {}

    // "Billiards 1" with only its cue ball left, the pusher waiting behind it.
    static std::unique_ptr<CWorld> LoneBall(EContactModel model)
    {
        auto world = std::make_unique<CWorld>();
        SeedRandom(1);
        world->contactModel = model;
        world->Initialize();
        while (world->BodyCount() > 1)
        {
            world->RemoveLastBody();
        }
        return world;
    }

    static void Run(CWorld& world, int steps)
    {
        for (int i = 0; i < steps; ++i)
        {
            world.Step(kSimulationStep);
        }
    }

    // The highest points of the ball between its first bounces.
    static std::vector<float> BounceHeights(EContactModel model, int count)
    {
        const std::unique_ptr<CWorld> world = LoneBall(model);
        CInertialBody& ball = *world->Body(0);
        ball.matrix.SetTranslation(0.0f, 0.0f, 40.0f);
        std::vector<float> heights;
        float last = ball.Position().z;
        bool rising = false;
        for (int i = 0; i < 20000 && static_cast<int>(heights.size()) < count; ++i)
        {
            world->Step(kSimulationStep);
            const float z = ball.Position().z;
            if (rising && z < last)
            {
                heights.push_back(last);
            }
            rising = z > last;
            last = z;
        }
        return heights;
    }

    // The speed a body set sliding at 10 units/s along x without spin keeps
    // after the given steps.
    static float SpeedAfterSliding(CInertialBody& body, CWorld& world, int steps)
    {
        body.linearVelocity = CVector(10.0f, 0.0f, 0.0f);
        body.angularVelocity = CVector();
        body.worldAngularVelocity = CVector();
        Run(world, steps);
        return body.linearVelocity.x;
    }

    static float BallSpeedAfterSliding(EContactModel model)
    {
        const std::unique_ptr<CWorld> world = LoneBall(model);
        CInertialBody& ball = *world->Body(0);
        // Let it settle onto the floor first.
        Run(*world, 500);
        return SpeedAfterSliding(ball, *world, 5);
    }

    static float DiskSpeedAfterSliding(EContactModel model)
    {
        const std::unique_ptr<CWorld> world = LoneBall(model);
        world->bodies.emplace_back(CreateCylinderBody(world.get(), 50.0f, 12.0f, 1.0f));
        CInertialBody& disk = *world->bodies.back();
        disk.matrix.SetTranslation(0.0f, 20.0f, 1.0f);
        Run(*world, 500);
        return SpeedAfterSliding(disk, *world, 10);
    }

    // How far the cue ball rolls after the pusher drives into it.
    static float PushedBallTravel(EContactModel model)
    {
        const std::unique_ptr<CWorld> world = LoneBall(model);
        CInertialBody& ball = *world->Body(0);
        Run(*world, 100);
        const CVector start = ball.Position();
        world->pusher->SetVelocity(CVector(0.0f, 150.0f, 0.0f));
        Run(*world, 200);
        world->pusher->SetVelocity(CVector());
        Run(*world, 1500);
        return ball.Position().y - start.y;
    }
};

TEST_F(ContactModelTest, DroppedBallBouncesAsUnderClassic)
{
    const std::vector<float> classic = BounceHeights(EContactModel::Classic, 3);
    const std::vector<float> stable = BounceHeights(EContactModel::Stable, 3);
    ASSERT_EQ(classic.size(), 3u);
    ASSERT_EQ(stable.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
    {
        const float rest = 3.5f;
        EXPECT_NEAR(stable[i] - rest, classic[i] - rest, 0.05f * (classic[i] - rest))
            << "bounce " << i + 1;
    }
    // A real bounce, not a ball that stuck to the floor.
    EXPECT_GT(classic[0], 10.0f);
}

TEST_F(ContactModelTest, SlidingBallSlowsAsUnderClassic)
{
    const float classic = 10.0f - BallSpeedAfterSliding(EContactModel::Classic);
    const float stable = 10.0f - BallSpeedAfterSliding(EContactModel::Stable);
    ASSERT_GT(classic, 1.0f);
    EXPECT_NEAR(stable, classic, 0.05f * classic);
}

TEST_F(ContactModelTest, SlidingDiskSlowsAsUnderClassic)
{
    const float classic = 10.0f - DiskSpeedAfterSliding(EContactModel::Classic);
    const float stable = 10.0f - DiskSpeedAfterSliding(EContactModel::Stable);
    ASSERT_GT(classic, 1.0f);
    EXPECT_NEAR(stable, classic, 0.05f * classic);
}

TEST_F(ContactModelTest, PushedBallRollsAsFarAsUnderClassic)
{
    const float classic = PushedBallTravel(EContactModel::Classic);
    const float stable = PushedBallTravel(EContactModel::Stable);
    ASSERT_GT(classic, 20.0f);
    EXPECT_NEAR(stable, classic, 0.2f * classic);
}

// Scenes left alone: 17 s here; clatterbox-sim --rest runs the long check.
class SceneRestTest : public CHeadlessGLTest, public ::testing::WithParamInterface<int>
{
protected:
    SceneRestTest() : CHeadlessGLTest(16, 16) {}
};

TEST_P(SceneRestTest, StandsStillUnderStable)
{
    SRestOptions options;
    options.scene = GetParam();
    options.seed = 1;
    options.contacts = EContactModel::Stable;
    options.settleSeconds = 3.0;
    options.endSeconds = 20.0;
    const SRestResult result = MeasureRest(options);
    EXPECT_LE(result.move, 0.05) << "body " << result.moveBody;
    EXPECT_LE(result.turn, 0.01) << "body " << result.turnBody;
}

INSTANTIATE_TEST_SUITE_P(Scenes, SceneRestTest, ::testing::Values(0, 1, 2, 3, 5, 6, 7, 8, 9, 10),
                         [](const ::testing::TestParamInfo<int>& info)
                         {
                             std::string name = g_sceneNames[info.param];
                             std::erase(name, ' ');
                             return name;
                         });

} // namespace
