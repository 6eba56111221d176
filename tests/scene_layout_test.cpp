// The built scenes: list order and counts, sizes, masses, placements and
// orientations against the catalogue's printed values, the random jitter and
// toy scales tied to particular draws, the pusher, and scene changes.

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "shapes/Shape.h"
#include "support/HeadlessGLTest.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
constexpr float kPositionTolerance = 1e-5f;
// Columns come out of FastSqrt normalisations, good to about 2^-16.
constexpr float kColumnTolerance = 3e-5f;

// The generator's seed that makes draw number `index` (0 for the first draw
// after seeding) come out as `value`, found by running the generator backwards.
uint32_t SeedForDraw(int index, int value)
{
    constexpr uint32_t kMultiplier = 214013u;
    constexpr uint32_t kIncrement = 2531011u;
    uint32_t inverse = kMultiplier; // Newton's iteration for the inverse mod 2^32
    for (int i = 0; i < 5; ++i)
    {
        inverse *= 2u - kMultiplier * inverse;
    }
    uint32_t state = static_cast<uint32_t>(value) << 16;
    for (int i = 0; i <= index; ++i)
    {
        state = (state - kIncrement) * inverse;
    }
    return state;
}

std::vector<int> DrawsOf(uint32_t seed, int count)
{
    SeedRandom(seed);
    std::vector<int> draws;
    for (int i = 0; i < count; ++i)
    {
        draws.push_back(Random());
    }
    return draws;
}

void ExpectNear(const CVector& actual, const CVector& expected, float tolerance,
                const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

template <typename T> const T* ShapeAs(const CInertialBody& body, size_t index)
{
    if (index >= body.shapes.size() || typeid(*body.shapes[index]) != typeid(T))
    {
        return nullptr;
    }
    return static_cast<const T*>(body.shapes[index].get());
}

class SceneLayoutTest : public CHeadlessGLTest
{
protected:
    SceneLayoutTest() : CHeadlessGLTest(32, 32) {}

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

    const CInertialBody& Body(int index) const { return *world->Body(index); }

    std::unique_ptr<CWorld> world;
};

struct SSceneCase
{
    int scene;
    const char* name;
    int bodies;
    float pusherRadius;
    float pusherZ;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SSceneCase& c, std::ostream* out)
{
    *out << c.name;
}

const SSceneCase kSceneCases[] = {
    {kBilliards1, "Billiards 1", 7, 2.0f, 3.0f},
    {kRings1, "Rings 1", 3, 2.0f, 4.0f},
    {kBowling, "Bowling", 7, 2.0f, 5.0f},
    {kRailAndBalls, "Rail and Balls", 6, 2.0f, 5.0f},
    {kSpinningTops, "Spinning Tops", 5, 1.5f, 4.0f},
    {kBilliards2, "Billiards 2", 14, 2.0f, 3.0f},
    {kDiskOnBalls, "A Disk on Balls", 14, 2.0f, 6.0f},
    {kTower, "Tower", 17, 2.0f, 5.0f},
    {kBilliards3, "Billiards 3", 17, 2.5f, 4.0f},
    {kDominoes, "Dominoes", 21, 2.0f, 12.0f},
    {kRings2, "Rings 2", 11, 3.0f, 12.0f},
};

class SceneBuildTest : public SceneLayoutTest, public ::testing::WithParamInterface<SSceneCase>
{
};

TEST_P(SceneBuildTest, ListPusherAndTargetAreAsCatalogued)
{
    const SSceneCase& c = GetParam();
    EXPECT_STREQ(kSceneTable[c.scene].name, c.name);
    EXPECT_STREQ(g_sceneNames[c.scene], c.name);

    world->follow = 1;
    Build(c.scene);
    ASSERT_EQ(world->BodyCount(), c.bodies);
    EXPECT_EQ(world->target, world->Body(1));
    EXPECT_EQ(world->follow, 1);

    ASSERT_NE(world->pusher, nullptr);
    const CInertialBody& pusher = *world->pusher;
    ASSERT_EQ(pusher.shapes.size(), 1u);
    const CSphere* ball = ShapeAs<CSphere>(pusher, 0);
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->radius, c.pusherRadius);
    EXPECT_EQ(pusher.mass, 10.0f);
    EXPECT_EQ(pusher.Position(), CVector(0.0f, -50.0f, c.pusherZ));
    EXPECT_EQ(pusher.restitution, -1.0f);
    EXPECT_EQ(pusher.friction, 0.8f);

    for (int i = 0; i < world->BodyCount(); ++i)
    {
        const CInertialBody& body = Body(i);
        EXPECT_NE(&body, world->pusher.get());
        EXPECT_EQ(body.restitution, 0.7f) << i;
        EXPECT_EQ(body.friction, 0.4f) << i;
        EXPECT_GT(body.mass, 0.0f) << i;
        if (c.scene != kSpinningTops)
        {
            EXPECT_EQ(body.linearVelocity, CVector()) << i;
            EXPECT_EQ(body.angularVelocity, CVector()) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllScenes, SceneBuildTest, ::testing::ValuesIn(kSceneCases),
                         [](const auto& info)
                         {
                             std::string name = info.param.name;
                             std::erase(name, ' ');
                             return name;
                         });

// Positions as the catalogue prints them, in list order.
struct SPlacementCase
{
    int scene;
    float tolerance;
    std::vector<CVector> positions;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SPlacementCase& c, std::ostream* out)
{
    *out << "scene " << c.scene;
}

const SPlacementCase kPlacementCases[] = {
    {kBilliards1,
     kPositionTolerance,
     {{0, -30, 3.5f},
      {0, 6.512952f, 3.5f},
      {-3.675f, 12.878238f, 3.5f},
      {3.675f, 12.878238f, 3.5f},
      {-7.35f, 19.243523f, 3.5f},
      {0, 19.243523f, 3.5f},
      {7.35f, 19.243523f, 3.5f}}},
    {kRings1, kPositionTolerance, {{-8, 0, 20}, {0, 0, 20}, {8, 0, 20}}},
    {kBowling,
     kPositionTolerance,
     {{0, -30, 4},
      {0, 4.607695f, 8},
      {-4.5f, 12.401924f, 8},
      {4.5f, 12.401924f, 8},
      {-9, 20.196152f, 8},
      {0, 20.196152f, 8},
      {9, 20.196152f, 8}}},
    {kRailAndBalls,
     kPositionTolerance,
     {{0, 0, 1.5f},
      {24.501665f, 4.966733f, 4.6f},
      {2.847785f, 24.837273f, 4.6f},
      {-22.741636f, 10.383543f, 4.6f},
      {-16.902887f, -18.419891f, 4.6f},
      {12.295074f, -21.767664f, 4.6f}}},
    {kBilliards2,
     kPositionTolerance,
     {{0, -30, 3},
      {0, 4.08808f, 3},
      {-3.15f, 9.54404f, 3},
      {3.15f, 9.54404f, 3},
      {-6.3f, 15, 3},
      {0, 15, 3},
      {6.3f, 15, 3},
      {-9.45f, 20.45596f, 3},
      {-3.15f, 20.45596f, 3},
      {3.15f, 20.45596f, 3},
      {9.45f, 20.45596f, 3},
      {0, 25.60596f, 2},
      {9.18503f, 9.69702f, 2},
      {-9.18503f, 9.69702f, 2}}},
    {kDiskOnBalls,
     kPositionTolerance,
     {{0, -29, 7},
      {0, -36, 3},
      {-6, -27, 3},
      {6, -27, 3},
      {0, -18, 3},
      {-6, -9, 3},
      {6, -9, 3},
      {0, 0, 3},
      {-6, 9, 3},
      {6, 9, 3},
      {0, 18, 3},
      {-6, 27, 3},
      {6, 27, 3},
      {0, 36, 3}}},
    // The catalogue prints these to five decimals, and its path values sit up
    // to 3.1e-5 from what the spacing rule gives in single precision.
    {kRings2,
     5e-5f,
     {{0, -40, 8},
      {5.36859f, -31.88250f, 8},
      {9.17695f, -23.35220f, 8},
      {9.67043f, -13.81230f, 8},
      {5.91456f, -4.06510f, 8},
      {0.30580f, 4.56191f, 8},
      {-5.10883f, 12.68070f, 8},
      {-9.03912f, 21.16930f, 8},
      {-9.75834f, 30.65540f, 8},
      {-6.18836f, 40.44220f, 8},
      {-0.61216f, 49.12260f, 8}}},
};

class ScenePlacementTest : public SceneLayoutTest,
                           public ::testing::WithParamInterface<SPlacementCase>
{
};

TEST_P(ScenePlacementTest, BodiesStandWhereTheCatalogueSays)
{
    const SPlacementCase& c = GetParam();
    Build(c.scene);
    ASSERT_EQ(world->BodyCount(), static_cast<int>(c.positions.size()));
    for (int i = 0; i < world->BodyCount(); ++i)
    {
        ExpectNear(Body(i).Position(), c.positions[i], c.tolerance,
                   std::string(g_sceneNames[c.scene]) + " body " + std::to_string(i));
    }
}

INSTANTIATE_TEST_SUITE_P(FixedScenes, ScenePlacementTest, ::testing::ValuesIn(kPlacementCases),
                         [](const auto& info)
                         {
                             std::string name = g_sceneNames[info.param.scene];
                             std::erase(name, ' ');
                             return name;
                         });

void ExpectColumns(const CInertialBody& body, const CVector& x, const CVector& y, const CVector& z,
                   const std::string& what)
{
    ExpectNear(body.matrix.Column(0), x, kColumnTolerance, what + " x");
    ExpectNear(body.matrix.Column(1), y, kColumnTolerance, what + " y");
    ExpectNear(body.matrix.Column(2), z, kColumnTolerance, what + " z");
}

TEST_F(SceneLayoutTest, SinglesAreOfTheCataloguedKindsSizesAndMasses)
{
    Build(kBilliards1);
    for (int i = 0; i < 7; ++i)
    {
        const CSphere* ball = ShapeAs<CSphere>(Body(i), 0);
        ASSERT_NE(ball, nullptr) << i;
        EXPECT_EQ(ball->radius, 3.5f);
        EXPECT_EQ(Body(i).mass, 30.0f);
    }

    Build(kBowling);
    const CSphere* bowl = ShapeAs<CSphere>(Body(0), 0);
    ASSERT_NE(bowl, nullptr);
    EXPECT_EQ(bowl->radius, 4.0f);
    EXPECT_EQ(Body(0).mass, 50.0f);
    for (int i = 1; i < 7; ++i)
    {
        const CCylinder* pin = ShapeAs<CCylinder>(Body(i), 0);
        ASSERT_NE(pin, nullptr) << i;
        EXPECT_EQ(pin->radius, 2.5f);
        EXPECT_EQ(pin->halfLength, 8.0f);
        EXPECT_EQ(Body(i).mass, 20.0f);
        ExpectColumns(Body(i), {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, "pin");
    }

    Build(kDiskOnBalls);
    const CCylinder* disk = ShapeAs<CCylinder>(Body(0), 0);
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->radius, 12.0f);
    EXPECT_EQ(disk->halfLength, 1.0f);
    EXPECT_EQ(Body(0).mass, 50.0f);
    for (int i = 1; i < 14; ++i)
    {
        const CSphere* ball = ShapeAs<CSphere>(Body(i), 0);
        ASSERT_NE(ball, nullptr) << i;
        EXPECT_EQ(ball->radius, 3.0f);
        EXPECT_EQ(Body(i).mass, 30.0f);
    }

    Build(kBilliards3);
    EXPECT_EQ(Body(0).mass, 120.0f);
    ASSERT_NE(ShapeAs<CSphere>(Body(0), 0), nullptr);
    EXPECT_EQ(ShapeAs<CSphere>(Body(0), 0)->radius, 3.9f);
    for (int i = 11; i < 17; ++i)
    {
        const CCylinder* c = ShapeAs<CCylinder>(Body(i), 0);
        ASSERT_NE(c, nullptr) << i;
        EXPECT_EQ(c->radius, i < 14 ? 2.0f : 2.5f) << i;
        EXPECT_EQ(c->halfLength, i < 14 ? 9.0f : 6.0f) << i;
        EXPECT_EQ(Body(i).mass, 50.0f) << i;
    }

    Build(kRings2);
    for (int i = 0; i < 11; ++i)
    {
        const CTorus* hoop = ShapeAs<CTorus>(Body(i), 0);
        ASSERT_NE(hoop, nullptr) << i;
        EXPECT_EQ(hoop->tubeRadius, 1.5f);
        EXPECT_EQ(hoop->ringRadius, 6.5f);
        EXPECT_EQ(Body(i).mass, 50.0f);
    }
}

TEST_F(SceneLayoutTest, RingsOneLiesFlatTiltedAndUpright)
{
    Build(kRings1);
    for (int i = 0; i < 3; ++i)
    {
        const CTorus* ring = ShapeAs<CTorus>(Body(i), 0);
        ASSERT_NE(ring, nullptr);
        EXPECT_EQ(ring->tubeRadius, 1.5f);
        EXPECT_EQ(ring->ringRadius, 6.0f);
        EXPECT_EQ(Body(i).mass, 50.0f);
    }
    ExpectColumns(Body(0), {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, "flat");
    ExpectColumns(Body(1), {1, 0, 0}, {0, 0.7071068f, -0.7071068f}, {0, 0.7071068f, 0.7071068f},
                  "tilted");
    ExpectColumns(Body(2), {1, 0, 0}, {0, 0, -1}, {0, 1, 0}, "upright");
}

TEST_F(SceneLayoutTest, RailIsTwoFlatRingsAboutOneCentre)
{
    Build(kRailAndBalls);
    const CInertialBody& rail = Body(0);
    ASSERT_EQ(rail.shapes.size(), 2u);
    const CTorus* inner = ShapeAs<CTorus>(rail, 0);
    const CTorus* outer = ShapeAs<CTorus>(rail, 1);
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(inner->ringRadius, 21.0f);
    EXPECT_EQ(outer->ringRadius, 29.0f);
    EXPECT_EQ(inner->tubeRadius, 1.5f);
    EXPECT_EQ(outer->tubeRadius, 1.5f);
    EXPECT_EQ(inner->matrix.Translation(), CVector());
    EXPECT_EQ(outer->matrix.Translation(), CVector());
    EXPECT_EQ(rail.mass, 20.0f);
    EXPECT_EQ(rail.boundingRadius, 30.5f);
    for (int i = 1; i < 6; ++i)
    {
        EXPECT_EQ(Body(i).mass, 20.0f);
        ASSERT_NE(ShapeAs<CSphere>(Body(i), 0), nullptr);
        EXPECT_EQ(ShapeAs<CSphere>(Body(i), 0)->radius, 3.5f);
    }
}

TEST_F(SceneLayoutTest, RailsLieAlongTheSidesOfTheRack)
{
    const CVector x[3] = {{0, 1, 0}, {0.8660254f, -0.5f, 0}, {-0.8660254f, -0.5f, 0}};
    const CVector y[3] = {{0, 0, 1}, {0, 0, -1}, {0, 0, 1}};
    const CVector z[3] = {{1, 0, 0}, {0.5f, 0.8660254f, 0}, {-0.5f, 0.8660254f, 0}};

    Build(kBilliards2);
    for (int i = 0; i < 3; ++i)
    {
        const CCylinder* rail = ShapeAs<CCylinder>(Body(11 + i), 0);
        ASSERT_NE(rail, nullptr);
        EXPECT_EQ(rail->radius, 2.0f);
        EXPECT_EQ(rail->halfLength, 12.0f);
        EXPECT_EQ(Body(11 + i).mass, 50.0f);
        ExpectColumns(Body(11 + i), x[i], y[i], z[i], "Billiards 2 rail " + std::to_string(i));
    }

    Build(kBilliards3);
    const CVector rails[3] = {
        {0, 23.264103f, 2}, {7.156922f, 10.867949f, 2}, {-7.156922f, 10.867949f, 2}};
    const CVector posts[3] = {
        {0, 27.764103f, 6}, {11.054036f, 8.617949f, 6}, {-11.054036f, 8.617949f, 6}};
    for (int i = 0; i < 3; ++i)
    {
        ExpectColumns(Body(11 + i), x[i], y[i], z[i], "Billiards 3 rail " + std::to_string(i));
        ExpectNear(Body(11 + i).Position(), rails[i], kPositionTolerance, "rail");
        ExpectColumns(Body(14 + i), {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, "post");
        ExpectNear(Body(14 + i).Position(), posts[i], kPositionTolerance, "post");
    }
}

TEST_F(SceneLayoutTest, TowerLayersCrossAndShrink)
{
    const float mass[8] = {10, 9, 8.1f, 7.29f, 6.561f, 5.9049f, 5.31441f, 4.782969f};
    const float half[8] = {15, 13.5f, 12.15f, 10.935f, 9.8415f, 8.85735f, 7.971615f, 7.174454f};
    const float offset[8] = {9, 8.1f, 7.29f, 6.561f, 5.9049f, 5.31441f, 4.782969f, 4.304672f};
    const float height[8] = {1.38f,     4.2825f,   7.23375f,  10.20938f,
                             13.19719f, 16.19109f, 19.18805f, 22.18652f};
    const uint32_t seed = 77u;
    // The ball draws 3; each layer then draws 3 for its first log, U1 and U2,
    // and 3 for its second log.
    const std::vector<int> d = DrawsOf(seed, 3 + 8 * 8);
    Build(kTower, seed);

    const CSphere* ball = ShapeAs<CSphere>(Body(0), 0);
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->radius, 4.0f);
    EXPECT_EQ(Body(0).mass, 50.0f);
    EXPECT_EQ(Body(0).Position(), CVector(0, -30, 4));

    for (int k = 0; k < 8; ++k)
    {
        const std::string layer = "layer " + std::to_string(k);
        const float u1 = 2.0f * static_cast<float>(d[3 + 8 * k + 3]) / 32767.0f - 1.0f;
        const float u2 = 2.0f * static_cast<float>(d[3 + 8 * k + 4]) / 32767.0f - 1.0f;
        const CInertialBody& first = Body(1 + 2 * k);
        const CInertialBody& second = Body(2 + 2 * k);
        for (const CInertialBody* log : {&first, &second})
        {
            const CCylinder* c = ShapeAs<CCylinder>(*log, 0);
            ASSERT_NE(c, nullptr) << layer;
            EXPECT_NEAR(log->mass, mass[k], 1e-6f) << layer;
            EXPECT_NEAR(c->halfLength, half[k], 1e-5f) << layer;
            EXPECT_EQ(c->radius, 1.5f) << layer;
        }
        if (k % 2 == 0)
        {
            ExpectNear(first.Position(), {0.01f * u1, -offset[k] + 0.01f * u2, height[k]},
                       kPositionTolerance, layer + " first");
            ExpectNear(second.Position(), {0, offset[k], height[k]}, kPositionTolerance,
                       layer + " second");
            ExpectColumns(first, {0, 0, 1}, {0, -1, 0}, {1, 0, 0}, layer);
            ExpectColumns(second, {0, 0, 1}, {0, -1, 0}, {1, 0, 0}, layer);
        }
        else
        {
            ExpectNear(first.Position(), {-offset[k] + 0.01f * u1, 0.01f * u2, height[k]},
                       kPositionTolerance, layer + " first");
            ExpectNear(second.Position(), {offset[k], 0, height[k]}, kPositionTolerance,
                       layer + " second");
            ExpectColumns(first, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, layer);
            ExpectColumns(second, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, layer);
        }
    }
}

TEST_F(SceneLayoutTest, DiskTiltComesFromTheFourDrawsAfterIt)
{
    const uint32_t seed = 4242u;
    const std::vector<int> d = DrawsOf(seed, 7);
    Build(kDiskOnBalls, seed);
    const float u1 = static_cast<float>(d[3]) / 32767.0f;
    const float u2 = static_cast<float>(d[4]) / 32767.0f;
    const float u3 = static_cast<float>(d[5]) / 32767.0f;
    const float u4 = static_cast<float>(d[6]) / 32767.0f;
    const CVector zHint(0.01f * u3, 0.01f * u4, 1.0f);
    const CVector xHint(0.01f * u1, 1.0f, 0.01f * u2);

    const CMatrix4& m = Body(0).matrix;
    const float length = std::sqrt(zHint.LengthSquared());
    ExpectNear(m.Column(2), zHint / length, kColumnTolerance, "disk axis");
    // Column 1 is across both hints, column 0 completes the frame.
    EXPECT_NEAR(Dot(m.Column(1), zHint), 0.0f, kColumnTolerance);
    EXPECT_NEAR(Dot(m.Column(1), xHint), 0.0f, kColumnTolerance);
    EXPECT_GT(Dot(m.Column(1), Cross(zHint, xHint)), 0.99f);
    EXPECT_GT(Dot(m.Column(0), xHint), 0.99f);
    // At most about 0.01 radian from flat.
    EXPECT_GT(m.Column(2).z, 0.9998f);
}

TEST_F(SceneLayoutTest, PyramidJitterComesFromThreeDrawsAfterEachBall)
{
    const CVector base[10] = {{0, 15, 12.69998f},         {0, 11.535898f, 7.84999f},
                              {-3, 16.732051f, 7.84999f}, {3, 16.732051f, 7.84999f},
                              {0, 8.071797f, 3},          {-3, 13.267949f, 3},
                              {3, 13.267949f, 3},         {-6, 18.464102f, 3},
                              {0, 18.464102f, 3},         {6, 18.464102f, 3}};
    const uint32_t seed = 9001u;
    const std::vector<int> d = DrawsOf(seed, 3 + 6 * 10);
    Build(kBilliards3, seed);
    for (int i = 0; i < 10; ++i)
    {
        const int at = 3 + 6 * i + 3; // after the cue ball and this ball's colours
        const CVector jitter(0.05f * static_cast<float>(d[at]) / 32767.0f,
                             0.05f * static_cast<float>(d[at + 1]) / 32767.0f,
                             0.05f * static_cast<float>(d[at + 2]) / 32767.0f);
        ExpectNear(Body(1 + i).Position(), base[i] + jitter, kPositionTolerance,
                   "ball " + std::to_string(i));
        const CSphere* ball = ShapeAs<CSphere>(Body(1 + i), 0);
        ASSERT_NE(ball, nullptr);
        EXPECT_EQ(ball->radius, 3.0f);
        EXPECT_EQ(Body(1 + i).mass, 30.0f);
    }
}

TEST_F(SceneLayoutTest, PyramidJitterSpansNothingToAFullTwentieth)
{
    // The top ball's first jitter draw is the seventh draw of the build.
    Build(kBilliards3, SeedForDraw(6, 0));
    EXPECT_EQ(Body(1).Position().x, 0.0f);
    Build(kBilliards3, SeedForDraw(6, 32767));
    EXPECT_NEAR(Body(1).Position().x, 0.05f, 1e-7f);
}

TEST_F(SceneLayoutTest, ToyScaleSpansItsSmallestAndLargestDraw)
{
    const struct
    {
        int draw;
        float scale;
    } cases[] = {{0, 0.8f}, {32767, 1.2f}};
    for (const auto& c : cases)
    {
        // The first toy's scale is drawn after the first top's three colours.
        const uint32_t seed = SeedForDraw(3, c.draw);
        ASSERT_EQ(DrawsOf(seed, 4)[3], c.draw);
        Build(kSpinningTops, seed);
        const CInertialBody& toy = Body(1);
        ASSERT_EQ(toy.shapes.size(), 3u);
        const CSphere* ballast = ShapeAs<CSphere>(toy, 0);
        const CSphere* bulk = ShapeAs<CSphere>(toy, 1);
        const CSphere* head = ShapeAs<CSphere>(toy, 2);
        ASSERT_TRUE(ballast && bulk && head);
        const float s = c.scale;
        EXPECT_NEAR(ballast->radius, s, 1e-6f) << c.draw;
        EXPECT_NEAR(bulk->radius, 4 * s, 1e-6f) << c.draw;
        EXPECT_NEAR(head->radius, 3 * s, 1e-6f) << c.draw;
        EXPECT_EQ(toy.mass, 12.0f);
        // The hidden ballast pulls the centre of mass 2s/3 below the body
        // sphere's centre.
        EXPECT_NEAR(ballast->matrix.Translation().z, -4 * s + 2 * s / 3, 1e-5f);
        EXPECT_NEAR(bulk->matrix.Translation().z, 2 * s / 3, 1e-5f);
        EXPECT_NEAR(head->matrix.Translation().z, 5 * s + 2 * s / 3, 1e-5f);
        EXPECT_EQ(ballast->visible, 0);
        EXPECT_EQ(ballast->collidable, 0);
        EXPECT_EQ(bulk->visible, 1);
        EXPECT_EQ(head->collidable, 1);
    }
}

TEST_F(SceneLayoutTest, TopsToysAndBallAreThrownInOrder)
{
    Build(kSpinningTops, 5u);
    for (int i : {0, 2})
    {
        const CInertialBody& top = Body(i);
        ASSERT_EQ(top.shapes.size(), 5u);
        EXPECT_EQ(top.mass, 10.0f);
        // Prepare moved the centre of mass 1.4 above the construction origin
        // to the body origin.
        const CSphere* tip = ShapeAs<CSphere>(top, 0);
        ASSERT_NE(tip, nullptr);
        EXPECT_EQ(tip->radius, 0.4f);
        EXPECT_NEAR(tip->matrix.Translation().z, -6.4f, 1e-5f);
        ASSERT_NE(ShapeAs<CTorus>(top, 3), nullptr);
        EXPECT_NEAR(top.shapes[3]->matrix.Translation().z, 0.6f, 1e-5f);
        const CCylinder* stem = ShapeAs<CCylinder>(top, 4);
        ASSERT_NE(stem, nullptr);
        EXPECT_EQ(stem->collidable, 0);
        EXPECT_EQ(stem->visible, 1);
        EXPECT_EQ(Body(i + 1).mass, 12.0f);
    }
    EXPECT_EQ(Body(4).mass, 20.0f);
    // Every list body was thrown: placed inside the throw's square and moving.
    for (int i = 0; i < 5; ++i)
    {
        const CVector p = Body(i).Position();
        EXPECT_LE(std::fabs(p.x), 20.0f) << i;
        EXPECT_LE(std::fabs(p.y), 20.0f) << i;
        EXPECT_GE(p.z, Body(i).boundingRadius) << i;
        EXPECT_NE(Body(i).angularVelocity, CVector()) << i;
    }
    EXPECT_EQ(world->pusher->Position(), CVector(0.0f, -50.0f, 4.0f));
}

TEST_F(SceneLayoutTest, DominoesStandOnTheCircleAcrossIt)
{
    Build(kDominoes);
    ASSERT_EQ(world->BodyCount(), 21);
    for (int i = 0; i < 21; ++i)
    {
        const CInertialBody& domino = Body(i);
        ASSERT_EQ(domino.shapes.size(), 3u);
        EXPECT_EQ(domino.mass, 60.0f);
        // The slab is already centred, so Prepare leaves the columns in place.
        EXPECT_EQ(domino.shapes[0]->matrix.Translation(), CVector(-2, 0, 0));
        EXPECT_EQ(domino.shapes[1]->matrix.Translation(), CVector(0, 0, 0));
        EXPECT_EQ(domino.shapes[2]->matrix.Translation(), CVector(2, 0, 0));
        const CVector p = domino.Position();
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y), 30.0f, 1e-4f) << i;
        EXPECT_EQ(p.z, 6.0f);
        // x points away from the centre, y along the circle, z up.
        ExpectNear(domino.matrix.Column(0), CVector(p.x / 30, p.y / 30, 0), 1e-4f, "x");
        ExpectNear(domino.matrix.Column(1), CVector(-p.y / 30, p.x / 30, 0), 1e-4f, "y");
        ExpectNear(domino.matrix.Column(2), CVector(0, 0, 1), kColumnTolerance, "z");
    }
    ExpectNear(Body(0).Position(), {8.865606f, -28.660095f, 6}, kPositionTolerance, "first");
    ExpectNear(Body(20).Position(), {-8.036633f, -28.903504f, 6}, kPositionTolerance, "last");
}

TEST_F(SceneLayoutTest, HoopsFaceAlongTheirPath)
{
    Build(kRings2);
    ExpectNear(Body(0).matrix.Column(2), {0.5724f, 0.8200f, 0}, 1e-4f, "first hoop");
    for (int i = 0; i < 11; ++i)
    {
        const CMatrix4& m = Body(i).matrix;
        const CVector z = m.Column(2);
        ExpectNear(m.Column(0), {0, 0, 1}, kColumnTolerance, "x");
        ExpectNear(m.Column(1), {z.y, -z.x, 0}, kColumnTolerance, "y");
        // Standing on the floor: ring plus tube radius above it.
        EXPECT_EQ(Body(i).Position().z, 8.0f);
    }
}

TEST_F(SceneLayoutTest, SceneChangesWrapBothWaysAndKeepTheFollowFlag)
{
    world->sceneIndex = 0;
    world->follow = 1;
    world->ChangeScene(-1);
    EXPECT_EQ(world->sceneIndex, kRings2);
    EXPECT_EQ(world->BodyCount(), 11);
    EXPECT_EQ(world->target, world->Body(1));
    EXPECT_EQ(world->follow, 1);

    world->follow = 0;
    world->ChangeScene(+1);
    EXPECT_EQ(world->sceneIndex, kBilliards1);
    EXPECT_EQ(world->BodyCount(), 7);
    EXPECT_EQ(world->target, world->Body(1));
    EXPECT_EQ(world->follow, 0);
    ExpectNear(world->target->Position(), {0, 6.512952f, 3.5f}, kPositionTolerance, "apex");
}

// An index stored from outside, negative or past the table, picks the scene
// it stands for modulo eleven instead of reading outside the table.
TEST_F(SceneLayoutTest, StoredIndexOutsideTheTablePicksItsSceneModuloEleven)
{
    const struct
    {
        int stored;
        int scene;
        int bodies;
    } cases[] = {{-1, kRings2, 11}, {-11, kBilliards1, 7}, {12, 1, 3}, {-23, kRings2, 11}};
    for (const auto& c : cases)
    {
        Build(c.stored);
        EXPECT_EQ(world->sceneIndex, c.scene) << "stored " << c.stored;
        EXPECT_EQ(world->BodyCount(), c.bodies) << "stored " << c.stored;
    }
}

TEST_F(SceneLayoutTest, RebuildReplacesEveryBodyAndThePusher)
{
    Build(kTower);
    world->AddBall();
    ASSERT_EQ(world->BodyCount(), 18);
    world->BuildScene();
    EXPECT_EQ(world->BodyCount(), 17);
    ASSERT_NE(world->pusher, nullptr);
    EXPECT_EQ(world->pusher->Position(), CVector(0.0f, -50.0f, 5.0f));
    EXPECT_EQ(world->target, world->Body(1));
}

} // namespace
