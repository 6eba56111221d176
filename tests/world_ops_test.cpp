// The world's keyboard operations and how they absorb requests out of range.

#include <gtest/gtest.h>

#include "dynamics/Body.h"
#include "shapes/Shape.h"
#include "tests/support/HeadlessGLTest.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
// A world built as at start-up ("Billiards 1", seven balls). Without a current
// rendering context the display lists stay empty, which these checks ignore.
class WorldOpsTest : public CPlatformTest
{
protected:
    void SetUp() override
    {
        CPlatformTest::SetUp();
        world = std::make_unique<CWorld>();
        world->Initialize();
    }
    void TearDown() override
    {
        world.reset();
        CPlatformTest::TearDown();
    }

    std::unique_ptr<CWorld> world;
};

TEST_F(WorldOpsTest, SelectTargetFollowsListBodiesAndThePusher)
{
    ASSERT_EQ(world->BodyCount(), 7);
    EXPECT_EQ(world->target, world->Body(1));
    EXPECT_EQ(world->follow, 0);

    world->SelectTarget(4);
    EXPECT_EQ(world->target, world->Body(4));
    EXPECT_EQ(world->follow, 1);

    world->SelectTarget(-1);
    EXPECT_EQ(world->target, world->pusher.get());
    EXPECT_EQ(world->follow, 1);

    // Out of range: following stops, the target stays.
    for (const int index : {7, 10, -2})
    {
        world->SelectTarget(-1);
        world->SelectTarget(index);
        EXPECT_EQ(world->follow, 0) << index;
        EXPECT_EQ(world->target, world->pusher.get()) << index;
    }
}

TEST_F(WorldOpsTest, RemovingTheTargetedLastBodyTargetsThePusherAndOneBodyAlwaysStays)
{
    world->SelectTarget(6);
    world->RemoveLastBody();
    EXPECT_EQ(world->BodyCount(), 6);
    EXPECT_EQ(world->target, world->pusher.get());
    EXPECT_EQ(world->follow, 1);

    for (int i = 0; i < 10; ++i)
    {
        world->RemoveLastBody();
    }
    EXPECT_EQ(world->BodyCount(), 1);
}

TEST_F(WorldOpsTest, AddedBallsAreThrownInAndBuildResetsTheList)
{
    for (int i = 0; i < 5; ++i)
    {
        world->AddBall();
    }
    ASSERT_EQ(world->BodyCount(), 12);
    for (int i = 7; i < 12; ++i)
    {
        const CInertialBody& ball = *world->Body(i);
        EXPECT_EQ(ball.mass, 30.0f);
        EXPECT_EQ(ball.boundingRadius, 3.5f);
        const CVector p = ball.Position();
        EXPECT_LE(std::abs(p.x), 20.0f);
        EXPECT_LE(std::abs(p.y), 20.0f);
        EXPECT_GE(p.z, 3.5f);
        EXPECT_LE(p.z, 7.0f);
    }

    world->follow = 1;
    world->BuildScene();
    EXPECT_EQ(world->BodyCount(), 7);
    EXPECT_EQ(world->target, world->Body(1));
    EXPECT_EQ(world->follow, 1);
    EXPECT_EQ(world->pusher->restitution, -1.0f);
    EXPECT_EQ(world->pusher->friction, 0.8f);
}

TEST_F(WorldOpsTest, ThrowMovesEveryBodyButNotThePusher)
{
    const CVector pusherBefore = world->pusher->Position();
    world->ThrowAllBodies();
    int moving = 0;
    for (int i = 0; i < world->BodyCount(); ++i)
    {
        if (world->Body(i)->linearVelocity.LengthSquared() > 0.0f)
        {
            ++moving;
        }
    }
    EXPECT_EQ(moving, world->BodyCount());
    EXPECT_EQ(world->pusher->Position(), pusherBefore);
    EXPECT_EQ(world->pusher->linearVelocity, CVector());
}

TEST_F(WorldOpsTest, SceneChangesWrapBothWays)
{
    world->ChangeScene(-1);
    EXPECT_EQ(world->sceneIndex, 10);
    EXPECT_STREQ(g_sceneNames[world->sceneIndex], "Rings 2");
    EXPECT_EQ(world->BodyCount(), 11);
    world->ChangeScene(+1);
    EXPECT_EQ(world->sceneIndex, 0);
    EXPECT_EQ(world->BodyCount(), 7);
}

TEST_F(WorldOpsTest, EmptyListStepMovesNothingNotEvenThePusher)
{
    world->bodies.clear();
    world->target = world->pusher.get();
    world->pusher->SetVelocity(CVector(10.0f, 0.0f, 0.0f));
    const CVector before = world->pusher->Position();
    world->Step(0.002f);
    EXPECT_EQ(world->pusher->Position(), before);
}

TEST_F(WorldOpsTest, PusherIsHeldAtOrAboveTheFloor)
{
    world->pusher->SetVelocity(CVector(0.0f, 0.0f, -1000.0f));
    for (int i = 0; i < 10; ++i)
    {
        world->Step(0.002f);
    }
    EXPECT_EQ(world->pusher->Position().z, 0.0f);
    EXPECT_EQ(world->pusher->linearVelocity, CVector(0.0f, 0.0f, -1000.0f));
}

// A step works every shape's world placement out once for its contact tests
// and lets go of it before anything moves; a body moved after the step takes
// its shapes along.
TEST_F(WorldOpsTest, ShapesFollowTheirBodyAfterAStep)
{
    world->sceneIndex = 9; // three upright cylinders per domino
    world->BuildScene();
    world->pusher->SetVelocity(CVector(0.0f, 150.0f, 0.0f));
    for (int i = 0; i < 300; ++i)
    {
        world->Step(0.002f);
    }
    EXPECT_FALSE(world->pusher->shapePlacementsKept);

    CInertialBody& body = *world->bodies[0];
    ASSERT_FALSE(body.shapePlacementsKept);
    const CShape& shape = *body.shapes[2];
    body.KeepShapePlacements();
    EXPECT_EQ(shape.WorldCentre(), body.matrix.TransformPoint(shape.matrix.Translation()));
    EXPECT_EQ(shape.WorldAxis(), body.matrix.TransformDirection(shape.matrix.Column(2)));
    body.DropShapePlacements();

    const CVector centre = shape.WorldCentre();
    body.SetAxes(CVector(1.0f, 0.0f, 0.0f), CVector(0.0f, 1.0f, 0.0f));
    body.matrix.SetTranslation(body.Position() + CVector(5.0f, 0.0f, 0.0f));
    EXPECT_NE(shape.WorldCentre(), centre);
    EXPECT_EQ(shape.WorldCentre(), body.matrix.TransformPoint(shape.matrix.Translation()));
    EXPECT_EQ(shape.WorldAxis(), body.matrix.TransformDirection(shape.matrix.Column(2)));
}
} // namespace
