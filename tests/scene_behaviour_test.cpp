// What the scenes are for, run headless a few simulated seconds at a time:
// racks and hoops stay put until struck, a strike scatters them, the dominoes
// fall one onto the next, a spinning top stays on its tip, a roly-poly toy
// rights itself, dropped rings land and settle, and under long pusher sweeps
// every body stays finite and inside the walls.

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "shapes/Shape.h"
#include "support/HeadlessGLTest.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
constexpr int kStepsPerSecond = 500;

// A pusher velocity in world units per second, held for a number of steps.
struct SPushLeg
{
    CVector velocity;
    int steps;
};

float Distance(const CVector& a, const CVector& b)
{
    return std::sqrt((a - b).LengthSquared());
}

bool IsFinite(const CVector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::string SceneName(int scene)
{
    std::string name = g_sceneNames[scene];
    std::erase(name, ' ');
    return name;
}

class SceneBehaviourTest : public CHeadlessGLTest
{
protected:
    SceneBehaviourTest() : CHeadlessGLTest(32, 32) {}

    void SetUp() override
    {
        CHeadlessGLTest::SetUp();
        world = std::make_unique<CWorld>();
        world->Initialize();
    }

    void TearDown() override
    {
        world.reset();
        CHeadlessGLTest::TearDown();
    }

    void Build(int scene, uint32_t seed = 1u)
    {
        SeedRandom(seed);
        world->sceneIndex = scene;
        world->BuildScene();
    }

    void Run(int steps, const CVector& pusherVelocity = CVector())
    {
        for (int i = 0; i < steps; ++i)
        {
            world->pusher->SetVelocity(pusherVelocity);
            world->Step(kSimulationStep);
        }
    }

    void Run(const std::vector<SPushLeg>& legs)
    {
        for (const SPushLeg& leg : legs)
        {
            Run(leg.steps, leg.velocity);
        }
    }

    std::vector<CVector> Positions() const
    {
        std::vector<CVector> positions;
        for (int i = 0; i < world->BodyCount(); ++i)
        {
            positions.push_back(world->Body(i)->Position());
        }
        return positions;
    }

    // The farthest any body has moved from where it was, and which one.
    float MaxDisplacement(const std::vector<CVector>& from, int* which = nullptr) const
    {
        float largest = 0.0f;
        for (int i = 0; i < world->BodyCount(); ++i)
        {
            const float d = Distance(world->Body(i)->Position(), from[i]);
            if (d > largest)
            {
                largest = d;
                if (which != nullptr)
                {
                    *which = i;
                }
            }
        }
        return largest;
    }

    // Sets a body down at rest with the given axis, spinning about it.
    static void Place(CInertialBody& body, const CVector& position, const CVector& axis,
                      float spin = 0.0f)
    {
        const CVector hint = std::fabs(axis.x) < 0.9f ? CVector(1, 0, 0) : CVector(0, 1, 0);
        body.SetAxes(axis, hint);
        body.matrix.SetTranslation(position);
        body.linearVelocity = CVector();
        body.angularVelocity = CVector(0.0f, 0.0f, spin);
        body.worldAngularVelocity = body.matrix.TransformDirection(body.angularVelocity);
        body.matrix.InvertAffine(body.inverse);
    }

    std::unique_ptr<CWorld> world;
};

// With nothing touching them, racks, pins, rails, dominoes and hoops stay
// where they were built, up to the sag of their contacts.
class SceneAtRestTest : public SceneBehaviourTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(SceneAtRestTest, StaysPutWithoutAPush)
{
    Build(GetParam());
    const std::vector<CVector> start = Positions();
    Run(3 * kStepsPerSecond);
    int which = -1;
    EXPECT_LT(MaxDisplacement(start, &which), 0.1f) << "body " << which;
}

INSTANTIATE_TEST_SUITE_P(Scenes, SceneAtRestTest,
                         ::testing::Values(kBilliards1, kBowling, kBilliards2, kDominoes, kRings2),
                         [](const auto& info) { return SceneName(info.param); });

TEST_F(SceneBehaviourTest, BallsSettleInTheGrooveOfTheRail)
{
    Build(kRailAndBalls);
    const std::vector<CVector> start = Positions();
    Run(3 * kStepsPerSecond);
    EXPECT_LT(Distance(world->Body(0)->Position(), start[0]), 0.1f);
    for (int i = 1; i < 6; ++i)
    {
        const CVector p = world->Body(i)->Position();
        // Resting on both tubes, midway between the rings.
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y), 25.0f, 0.5f) << i;
        EXPECT_NEAR(p.z, 4.43f, 0.1f) << i;
        EXPECT_LT(Distance(p, start[i]), 0.5f) << i;
    }
}

// The penalty contacts let these creep in the end; what holds is that they
// start out standing instead of bursting apart from their built overlaps.
TEST_F(SceneBehaviourTest, TowerStandsWhileUnstruck)
{
    Build(kTower);
    Run(3 * kStepsPerSecond);
    for (int i = 15; i < 17; ++i)
    {
        EXPECT_GT(world->Body(i)->Position().z, 21.5f) << i;
    }
}

TEST_F(SceneBehaviourTest, PyramidAndDiskStartOutResting)
{
    Build(kBilliards3);
    const std::vector<CVector> pyramid = Positions();
    Run(kStepsPerSecond);
    EXPECT_GT(world->Body(1)->Position().z, 11.5f);
    EXPECT_LT(MaxDisplacement(pyramid), 1.0f);

    Build(kDiskOnBalls);
    const std::vector<CVector> disk = Positions();
    Run(kStepsPerSecond);
    EXPECT_LT(MaxDisplacement(disk), 0.5f);
    EXPECT_NEAR(world->Body(0)->Position().z, 6.97f, 0.05f);
}

struct SStrikeCase
{
    int scene;
    int firstTarget; // list index of the first struck body
    int scattered;   // at least this many of them end more than 1 away
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SStrikeCase& c, std::ostream* out)
{
    *out << "scene " << c.scene << ", struck from body " << c.firstTarget;
}

class SceneStrikeTest : public SceneBehaviourTest, public ::testing::WithParamInterface<SStrikeCase>
{
};

// The pusher drives the ball at (0, -30) into the rack, tower or pyramid.
TEST_P(SceneStrikeTest, StrikeScattersTheTargets)
{
    const SStrikeCase& c = GetParam();
    Build(c.scene);
    const std::vector<CVector> start = Positions();
    Run({{{0, 100, 0}, kStepsPerSecond / 2}, {{0, 0, 0}, 5 * kStepsPerSecond / 2}});
    int scattered = 0;
    for (int i = c.firstTarget; i < world->BodyCount(); ++i)
    {
        if (Distance(world->Body(i)->Position(), start[i]) > 1.0f)
        {
            ++scattered;
        }
    }
    EXPECT_GE(scattered, c.scattered);
}

INSTANTIATE_TEST_SUITE_P(Scenes, SceneStrikeTest,
                         ::testing::Values(SStrikeCase{kBilliards1, 1, 6},
                                           SStrikeCase{kBowling, 1, 4},
                                           SStrikeCase{kBilliards2, 1, 10},
                                           SStrikeCase{kTower, 1, 14},
                                           SStrikeCase{kBilliards3, 1, 12}),
                         [](const auto& info) { return SceneName(info.param.scene); });

TEST_F(SceneBehaviourTest, StruckPinsAndTowerGoDown)
{
    Build(kBowling);
    Run({{{0, 100, 0}, kStepsPerSecond / 2}, {{0, 0, 0}, 5 * kStepsPerSecond / 2}});
    int fallen = 0;
    for (int i = 1; i < 7; ++i)
    {
        fallen += world->Body(i)->matrix.Column(2).z < 0.7f ? 1 : 0;
    }
    EXPECT_GE(fallen, 3);

    Build(kTower);
    Run({{{0, 100, 0}, kStepsPerSecond / 2}, {{0, 0, 0}, 5 * kStepsPerSecond / 2}});
    for (int i = 13; i < 17; ++i)
    {
        EXPECT_LT(world->Body(i)->Position().z, 12.0f) << i;
    }
}

TEST_F(SceneBehaviourTest, PushingTheFirstDominoTopplesAllInTurn)
{
    Build(kDominoes);
    // Down behind the gap, then along the circle into the first slab.
    const std::vector<SPushLeg> push = {{{0, 100, -10}, 100}, {{38.2f, 11.8f, 0}, 150}};
    std::vector<int> fellAt(21, -1);
    int step = 0;
    const auto record = [&]
    {
        for (int i = 0; i < 21; ++i)
        {
            if (fellAt[i] < 0 && world->Body(i)->matrix.Column(2).z < 0.7f)
            {
                fellAt[i] = step;
            }
        }
    };
    for (const SPushLeg& leg : push)
    {
        for (int k = 0; k < leg.steps; ++k, ++step)
        {
            Run(1, leg.velocity);
            record();
        }
    }
    for (; step < 6 * kStepsPerSecond; ++step)
    {
        Run(1);
        record();
    }
    for (int i = 0; i < 21; ++i)
    {
        ASSERT_GE(fellAt[i], 0) << "domino " << i << " still stands";
        if (i > 0)
        {
            EXPECT_GE(fellAt[i], fellAt[i - 1])
                << "domino " << i << " fell before the one behind it";
        }
    }
}

TEST_F(SceneBehaviourTest, SpinningTopStaysOnItsTipAndAStillOneFalls)
{
    for (const float spin : {125.0f, 0.0f})
    {
        Build(kSpinningTops);
        // Only the first top is left.
        for (int i = 0; i < 4; ++i)
        {
            world->RemoveLastBody();
        }
        ASSERT_EQ(world->BodyCount(), 1);
        CInertialBody& top = *world->Body(0);
        const CVector axis(std::sin(0.1f), 0.0f, std::cos(0.1f));
        // The tip's sphere, 6.4 below the centre of mass, just touches.
        Place(top, CVector(0, 0, 6.4f * axis.z + 0.4f), axis, spin);

        float lowest = 1.0f;
        for (int k = 0; k < 3 * kStepsPerSecond; ++k)
        {
            Run(1);
            lowest = std::fmin(lowest, top.matrix.Column(2).z);
        }
        const CVector tip = top.Position() - 6.4f * top.matrix.Column(2);
        if (spin != 0.0f)
        {
            EXPECT_GT(lowest, 0.9f);
            EXPECT_NEAR(tip.z, 0.4f, 0.1f);
            EXPECT_GT(top.angularVelocity.z, 80.0f);
        }
        else
        {
            EXPECT_LT(top.matrix.Column(2).z, 0.8f);
        }
    }
}

TEST_F(SceneBehaviourTest, RolyPolyToyRightsItself)
{
    Build(kSpinningTops);
    for (int i = 0; i < 3; ++i)
    {
        world->RemoveLastBody();
    }
    ASSERT_EQ(world->BodyCount(), 2);
    // The top balances upright out of the way; the toy starts far over.
    Place(*world->Body(0), CVector(30, 50, 6.8f), CVector(0, 0, 1));
    CInertialBody& toy = *world->Body(1);
    const float tilt = 1.2f;
    // Set down on its body sphere, whose centre lies above the centre of mass.
    const CVector axis(std::sin(tilt), 0, std::cos(tilt));
    const CVector bulk = toy.shapes[1]->matrix.Translation();
    const float radius = toy.shapes[1]->boundingRadius;
    Place(toy, CVector(0, 0, radius - bulk.z * axis.z), axis);

    float highest = -1.0f;
    float lowestLate = 1.0f;
    for (int k = 0; k < 4 * kStepsPerSecond; ++k)
    {
        Run(1);
        const float up = toy.matrix.Column(2).z;
        highest = std::fmax(highest, up);
        if (k >= 3 * kStepsPerSecond)
        {
            lowestLate = std::fmin(lowestLate, up);
        }
    }
    EXPECT_GT(highest, 0.97f);
    // It keeps rocking, each swing shallower than the start.
    EXPECT_GT(lowestLate, std::cos(tilt) + 0.05f);
}

TEST_F(SceneBehaviourTest, DroppedRingsLandAndSettle)
{
    Build(kRings1);
    Run(2 * kStepsPerSecond);
    const std::vector<CVector> landed = Positions();
    for (const CVector& p : landed)
    {
        EXPECT_LT(p.z, 6.0f);
        EXPECT_GT(p.z, 1.4f);
    }
    Run(2 * kStepsPerSecond);
    int which = -1;
    EXPECT_LT(MaxDisplacement(landed, &which), 0.5f) << "ring " << which;
}

TEST_F(SceneBehaviourTest, HoopsStandOnEdge)
{
    Build(kRings2);
    const std::vector<CVector> start = Positions();
    Run(3 * kStepsPerSecond);
    for (int i = 0; i < world->BodyCount(); ++i)
    {
        const CInertialBody& hoop = *world->Body(i);
        EXPECT_NEAR(hoop.matrix.Column(2).z, 0.0f, 1e-3f) << i;
        EXPECT_NEAR(hoop.Position().z, 8.0f, 0.05f) << i;
        EXPECT_LT(Distance(hoop.Position(), start[i]), 0.05f) << i;
    }
}

// Thirty simulated seconds of the pusher raking the area at ball height.
class SceneSweepTest : public SceneBehaviourTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(SceneSweepTest, EveryBodyStaysFiniteAndInsideTheWalls)
{
    Build(GetParam());
    const float startZ = world->pusher->Position().z;
    std::vector<SPushLeg> legs = {{{0, 0, (3.0f - startZ) / 0.2f}, 100}};
    const std::vector<SPushLeg> loop = {{{0, 60, 0}, 500},  {{60, 0, 0}, 250}, {{0, -60, 0}, 500},
                                        {{-60, 0, 0}, 500}, {{0, 60, 0}, 750}, {{60, 0, 0}, 500},
                                        {{0, -60, 0}, 750}, {{-60, 0, 0}, 250}};
    int steps = 100;
    while (steps < 30 * kStepsPerSecond)
    {
        for (const SPushLeg& leg : loop)
        {
            legs.push_back(leg);
            steps += leg.steps;
        }
    }
    int step = 0;
    for (const SPushLeg& leg : legs)
    {
        for (int k = 0; k < leg.steps && step < 30 * kStepsPerSecond; ++k, ++step)
        {
            Run(1, leg.velocity);
            if (step % 50 != 0)
            {
                continue;
            }
            for (int i = 0; i < world->BodyCount(); ++i)
            {
                const CInertialBody& body = *world->Body(i);
                const CVector p = body.Position();
                ASSERT_TRUE(IsFinite(p) && IsFinite(body.linearVelocity) &&
                            IsFinite(body.worldAngularVelocity))
                    << "body " << i << " at step " << step;
                ASSERT_LT(std::fabs(p.x), 40.0f) << "body " << i << " at step " << step;
                ASSERT_LT(std::fabs(p.y), 60.0f) << "body " << i << " at step " << step;
                ASSERT_GT(p.z, 0.0f) << "body " << i << " at step " << step;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllScenes, SceneSweepTest, ::testing::Range(0, kSceneCount),
                         [](const auto& info) { return SceneName(info.param); });

} // namespace
