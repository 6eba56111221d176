// The broad phase against the all-pairs loop: the pairs it lists are exactly
// those the rejection test of CollideBodies keeps, in ascending order, for
// piles, scattered bodies, mixed sizes and broken values; a world stepped
// through it ends every step in the same state, bit for bit, as one stepped
// through all pairs; and once its buffers have grown a step allocates nothing.

#include <gtest/gtest.h>

#include <ostream>

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Random.h"
#include "support/HeadlessGLTest.h"
#include "world/BroadPhase.h"
#include "world/World.h"

namespace
{
std::atomic<uint64_t> g_allocations{0};
} // namespace

// Counts every allocation of the test program, so that a test can see whether
// a stretch of code allocated at all. GCC takes the free in the replaced
// delete for a mismatch with the replaced new; they do match.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
    {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The grid's cells rely on FastSqrt never falling short of the true root by
// 2^-15 of it or more; checked at the worst argument of every table entry
// (all the mantissa bits the table ignores set).
TEST(BroadPhaseRoot, FastSqrtFallsShortByLessThanTwoToTheMinus15)
{
    BuildSqrtTable();
    for (uint32_t exponent : {0x3F000000u, 0x3F800000u, 0x45000000u, 0x45800000u})
    {
        for (uint32_t index = 0; index < 32768; ++index)
        {
            const float x = std::bit_cast<float>(exponent | (index << 8) | 0xFFu);
            const double root = std::sqrt(static_cast<double>(x));
            ASSERT_GE(static_cast<double>(FastSqrt(x)), root * (1.0 - 1.0 / 32768.0))
                << "x = " << x;
        }
    }
}

struct SSphere
{
    CVector centre;
    float radius;
};

// Every pair i < j that CollideBodies would not reject, in loop order.
std::vector<std::pair<uint32_t, uint32_t>> AllPairs(const std::vector<SSphere>& spheres)
{
    std::vector<std::pair<uint32_t, uint32_t>> kept;
    for (uint32_t i = 0; i < spheres.size(); ++i)
    {
        for (uint32_t j = i + 1; j < spheres.size(); ++j)
        {
            const CVector d = spheres[i].centre - spheres[j].centre;
            if (!(FastSqrt(d.LengthSquared()) >= spheres[i].radius + spheres[j].radius))
            {
                kept.emplace_back(i, j);
            }
        }
    }
    return kept;
}

float Uniform(float low, float high)
{
    return low + (high - low) * RandomUnit();
}

using Layout = std::vector<SSphere> (*)();

// Balls of radius 3.5 packed a little closer than touching, as in a pile.
std::vector<SSphere> Pile()
{
    std::vector<SSphere> spheres;
    for (int z = 0; z < 6; ++z)
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 8; ++x)
                spheres.push_back(
                    {{x * 6.99f + Uniform(-0.2f, 0.2f), y * 6.99f + Uniform(-0.2f, 0.2f),
                      3.5f + z * 6.99f + Uniform(-0.2f, 0.2f)},
                     3.5f});
    return spheres;
}

// Pairs placed exactly at the sum of their radii and a hair inside or outside,
// where only the root's rounding decides.
std::vector<SSphere> Touching()
{
    std::vector<SSphere> spheres;
    for (int k = 0; k < 200; ++k)
    {
        const float r1 = Uniform(0.5f, 4.0f);
        const float r2 = Uniform(0.5f, 4.0f);
        CVector axis(Uniform(-1.0f, 1.0f), Uniform(-1.0f, 1.0f), Uniform(-1.0f, 1.0f));
        axis.Normalize();
        const float gap = (r1 + r2) * (1.0f + Uniform(-3e-5f, 3e-5f));
        const CVector c(Uniform(-200.0f, 200.0f), Uniform(-200.0f, 200.0f), Uniform(0.0f, 50.0f));
        spheres.push_back({c, r1});
        spheres.push_back({c + gap * axis, r2});
    }
    return spheres;
}

// Balls of radius 3.5 in pairs just under a diameter apart along one axis,
// the first a hair below 0 on it: whatever the cell width, the first lies in
// cell -1, and a grid with cells narrower than a diameter puts the second two
// cells away.
std::vector<SSphere> AcrossTheOrigin()
{
    std::vector<SSphere> spheres;
    for (int k = 0; k < 90; ++k)
    {
        const int axis = k % 3;
        CVector a(Uniform(-30.0f, 30.0f), Uniform(-50.0f, 50.0f), Uniform(4.0f, 30.0f));
        CVector b = a;
        const float below = -1e-5f * (1.0f + RandomUnit());
        const float reach = 7.0f * (1.0f - 1e-6f * RandomUnit());
        (axis == 0 ? a.x : axis == 1 ? a.y : a.z) = below;
        (axis == 0 ? b.x : axis == 1 ? b.y : b.z) = below + reach;
        spheres.push_back({a, 3.5f});
        spheres.push_back({b, 3.5f});
    }
    return spheres;
}

// Most bodies far apart over a huge space: too sparse for dense cells.
std::vector<SSphere> Scattered()
{
    std::vector<SSphere> spheres;
    for (int k = 0; k < 300; ++k)
    {
        const CVector c(Uniform(-5e4f, 5e4f), Uniform(-5e4f, 5e4f), Uniform(-5e4f, 5e4f));
        spheres.push_back({c, 3.5f});
        if (k % 3 == 0)
        {
            spheres.push_back({c + CVector(Uniform(-7.0f, 7.0f), 0.0f, 0.0f), 3.5f});
        }
    }
    return spheres;
}

// A few bodies far larger than the rest (a rail among balls), some tiny, zero
// and negative radii.
std::vector<SSphere> MixedSizes()
{
    std::vector<SSphere> spheres;
    for (int k = 0; k < 400; ++k)
    {
        const float pick = RandomUnit();
        const float radius = pick < 0.02f   ? Uniform(20.0f, 60.0f)
                             : pick < 0.1f  ? Uniform(0.0f, 0.05f)
                             : pick < 0.12f ? 0.0f
                             : pick < 0.13f ? -1.0f
                                            : Uniform(1.0f, 5.0f);
        spheres.push_back(
            {{Uniform(-40.0f, 40.0f), Uniform(-60.0f, 60.0f), Uniform(0.0f, 40.0f)}, radius});
    }
    return spheres;
}

// Values no real step produces, but which the loop over all pairs handles in
// its own way: NaN and infinite centres and radii, centres beyond the grid.
std::vector<SSphere> Broken()
{
    std::vector<SSphere> spheres = MixedSizes();
    spheres[3].centre.x = kNaN;
    spheres[10].centre = CVector(kInf, 0.0f, 0.0f);
    spheres[11].centre = CVector(kInf, 0.0f, 0.0f);
    spheres[20].centre = CVector(-kInf, kInf, 1.0f);
    spheres[30].radius = kNaN;
    spheres[40].radius = kInf;
    spheres[50].centre = CVector(3e6f, 0.0f, 0.0f);
    spheres[51].centre = CVector(3e6f + 1.0f, 0.0f, 0.0f);
    spheres[60].radius = 5e6f;
    spheres[70].centre = CVector(1e30f, 1e30f, 1e30f);
    return spheres;
}

// Tiny bodies only: the cell size falls to its floor.
std::vector<SSphere> Specks()
{
    std::vector<SSphere> spheres;
    for (int k = 0; k < 300; ++k)
    {
        spheres.push_back(
            {{Uniform(-1.0f, 1.0f), Uniform(-1.0f, 1.0f), Uniform(-1.0f, 1.0f)}, 1e-3f});
    }
    return spheres;
}

struct SLayoutCase
{
    const char* name;
    Layout make;
    int denseGrid; // 1 dense, 0 hashed, -1 either
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SLayoutCase& c, std::ostream* out)
{
    *out << c.name;
}

const SLayoutCase kLayouts[] = {
    {"Pile", Pile, 1},
    {"AcrossTheOrigin", AcrossTheOrigin, 1},
    {"Touching", Touching, -1},
    {"Scattered", Scattered, 0},
    {"MixedSizes", MixedSizes, 1},
    {"Broken", Broken, -1},
    {"Specks", Specks, -1},
};

class BroadPhaseLayoutTest : public ::testing::TestWithParam<SLayoutCase>
{
};

TEST_P(BroadPhaseLayoutTest, ListsExactlyThePairsTheRejectionTestKeepsInOrder)
{
    BuildSqrtTable();
    for (uint32_t seed = 1; seed <= 3; ++seed)
    {
        SeedRandom(seed);
        const std::vector<SSphere> spheres = GetParam().make();
        std::vector<std::unique_ptr<CInertialBody>> bodies;
        for (const SSphere& s : spheres)
        {
            bodies.push_back(std::make_unique<CInertialBody>(nullptr));
            bodies.back()->matrix.SetTranslation(s.centre);
            bodies.back()->boundingRadius = s.radius;
        }

        CBroadPhase broadPhase;
        // Twice, so that buffers left from the first call cannot hide a fault.
        for (int call = 0; call < 2; ++call)
        {
            const std::vector<SBodyPair>& pairs = broadPhase.FindPairs(bodies);
            std::vector<std::pair<uint32_t, uint32_t>> found;
            for (const SBodyPair& pair : pairs)
            {
                found.emplace_back(pair.first, pair.second);
            }
            ASSERT_EQ(found, AllPairs(spheres)) << "seed " << seed << ", call " << call;
        }
        if (GetParam().denseGrid >= 0)
        {
            EXPECT_EQ(broadPhase.Dense(), GetParam().denseGrid == 1) << "seed " << seed;
        }
    }
}

// Pairs found once are kept across calls while the bodies stay near where
// they were; creeping moves that add up, a sudden jump, a grown radius and a
// shorter list must each be seen at once.
TEST_P(BroadPhaseLayoutTest, FollowsBodiesFromCallToCall)
{
    BuildSqrtTable();
    SeedRandom(4);
    std::vector<SSphere> spheres = GetParam().make();
    std::vector<std::unique_ptr<CInertialBody>> bodies;
    for (const SSphere& s : spheres)
    {
        bodies.push_back(std::make_unique<CInertialBody>(nullptr));
        bodies.back()->boundingRadius = s.radius;
    }

    CBroadPhase broadPhase;
    for (int call = 0; call < 200; ++call)
    {
        for (size_t i = 0; i < spheres.size(); ++i)
        {
            SSphere& s = spheres[i];
            if (call > 0)
            {
                // Every other body drifts along x, so that gaps close.
                s.centre += CVector(Uniform(-0.03f, 0.03f) + (i % 2 == 1 ? 0.05f : 0.0f),
                                    Uniform(-0.03f, 0.03f), Uniform(-0.03f, 0.03f));
            }
            if (call % 40 == 39 && i == static_cast<size_t>(call) % spheres.size())
            {
                s.centre += CVector(0.0f, 0.0f, 2.0f);
            }
            if (call == 100 && i == 5)
            {
                s.radius += 6.0f;
            }
            bodies[i]->matrix.SetTranslation(s.centre);
            bodies[i]->boundingRadius = s.radius;
        }
        if (call == 150)
        {
            spheres.pop_back();
            bodies.pop_back();
        }

        // Now and then the fresh search the benchmark times, in between: it
        // finds the same pairs and leaves the kept ones alone.
        if (call % 7 == 3)
        {
            std::vector<std::pair<uint32_t, uint32_t>> searched;
            for (const SBodyPair& pair : broadPhase.SearchPairs(bodies))
            {
                searched.emplace_back(pair.first, pair.second);
            }
            ASSERT_EQ(searched, AllPairs(spheres)) << "search at call " << call;
        }
        std::vector<std::pair<uint32_t, uint32_t>> found;
        for (const SBodyPair& pair : broadPhase.FindPairs(bodies))
        {
            found.emplace_back(pair.first, pair.second);
        }
        ASSERT_EQ(found, AllPairs(spheres)) << "call " << call;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, BroadPhaseLayoutTest, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<SLayoutCase>& info)
                         { return std::string(info.param.name); });

// Everything a step writes into a body, as bits.
std::vector<uint32_t> BodyState(const CInertialBody& body)
{
    std::vector<uint32_t> bits;
    const auto add = [&bits](float v) { bits.push_back(std::bit_cast<uint32_t>(v)); };
    const auto addVector = [&add](const CVector& v)
    {
        add(v.x);
        add(v.y);
        add(v.z);
    };
    for (const float v : body.matrix.m)
        add(v);
    for (const float v : body.inverse.m)
        add(v);
    addVector(body.linearVelocity);
    addVector(body.angularVelocity);
    addVector(body.worldAngularVelocity);
    addVector(body.force);
    addVector(body.torque);
    bits.push_back(body.contactCount);
    return bits;
}

std::vector<uint32_t> WorldState(const CWorld& world)
{
    std::vector<uint32_t> bits;
    for (int i = 0; i < world.BodyCount(); ++i)
    {
        const std::vector<uint32_t> body = BodyState(*world.Body(i));
        bits.insert(bits.end(), body.begin(), body.end());
    }
    if (world.pusher)
    {
        const std::vector<uint32_t> pusher = BodyState(*world.pusher);
        bits.insert(bits.end(), pusher.begin(), pusher.end());
    }
    bits.push_back(world.stepContacts);
    return bits;
}

// The pusher's velocity at a step: a strike, a sweep, a lift and a return.
CVector PushAt(int step)
{
    if (step < 150)
        return CVector(0.0f, 150.0f, 0.0f);
    if (step < 250)
        return CVector(80.0f, 0.0f, 20.0f);
    if (step < 350)
        return CVector(-120.0f, 40.0f, -20.0f);
    return CVector(0.0f, -150.0f, 0.0f);
}

struct SWorldCase
{
    const char* name;
    int scene;
    int addedBalls;
    int steps;
    bool breakOne; // one body's centre turned into NaN halfway
    EContactModel contacts = EContactModel::Classic;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SWorldCase& c, std::ostream* out)
{
    *out << c.name;
}

const SWorldCase kWorlds[] = {
    {"Billiards1", 0, 0, 600, false},
    {"Dominoes", 9, 0, 600, false},
    {"Rings2", 10, 0, 600, false},
    {"Tower", 7, 0, 600, false},
    // A rail far larger than the balls around it, kept out of the grid.
    {"RailAndBalls60", 3, 60, 400, false},
    {"Billiards1With300Balls", 0, 300, 300, false},
    {"BrokenBody", 0, 60, 200, true},
    // The Stable contacts keep anchors from step to step; the broad phase
    // must meet them in the same order.
    {"StableTower", 7, 0, 600, false, EContactModel::Stable},
    {"StableRailAndBalls60", 3, 60, 400, false, EContactModel::Stable},
    {"StableBilliards1With300Balls", 0, 300, 300, false, EContactModel::Stable},
};

class BroadPhaseWorldTest : public CHeadlessGLTest, public ::testing::WithParamInterface<SWorldCase>
{
protected:
    BroadPhaseWorldTest() : CHeadlessGLTest(16, 16) {}

    std::unique_ptr<CWorld> MakeWorld(bool allPairs) const
    {
        auto world = std::make_unique<CWorld>();
        SeedRandom(77);
        world->sceneIndex = GetParam().scene;
        world->allPairs = allPairs;
        world->contactModel = GetParam().contacts;
        world->Initialize();
        for (int i = 0; i < GetParam().addedBalls; ++i)
        {
            world->AddBall();
        }
        return world;
    }
};

TEST_P(BroadPhaseWorldTest, EveryStepEndsInTheStateOfTheAllPairsLoop)
{
    const std::unique_ptr<CWorld> reference = MakeWorld(true);
    const std::unique_ptr<CWorld> tested = MakeWorld(false);
    ASSERT_EQ(WorldState(*reference), WorldState(*tested));
    uint64_t contacts = 0;
    for (int step = 0; step < GetParam().steps; ++step)
    {
        if (GetParam().breakOne && step == GetParam().steps / 2)
        {
            reference->Body(5)->matrix[13] = kNaN;
            tested->Body(5)->matrix[13] = kNaN;
        }
        for (CWorld* world : {reference.get(), tested.get()})
        {
            world->pusher->SetVelocity(PushAt(step));
            world->Step(kSimulationStep);
        }
        contacts += tested->stepContacts;
        ASSERT_EQ(WorldState(*reference), WorldState(*tested)) << "after step " << step + 1;
    }
    // A run without a single contact would show nothing.
    EXPECT_GT(contacts, 0u);
}

INSTANTIATE_TEST_SUITE_P(Worlds, BroadPhaseWorldTest, ::testing::ValuesIn(kWorlds),
                         [](const ::testing::TestParamInfo<SWorldCase>& info)
                         { return std::string(info.param.name); });

class BroadPhaseAllocationTest : public CHeadlessGLTest
{
protected:
    BroadPhaseAllocationTest() : CHeadlessGLTest(16, 16) {}
};

TEST_F(BroadPhaseAllocationTest, StepsAllocateNothingOnceTheBuffersHaveGrown)
{
    CWorld world;
    SeedRandom(5);
    world.Initialize();
    for (int i = 0; i < 400; ++i)
    {
        world.AddBall();
    }
    // The thrown balls first burst apart, then fall back and settle: the
    // buffers grow to their largest early on.
    for (int step = 0; step < 600; ++step)
    {
        world.Step(kSimulationStep);
    }
    const uint64_t before = g_allocations.load();
    for (int step = 0; step < 200; ++step)
    {
        world.Step(kSimulationStep);
    }
    EXPECT_EQ(g_allocations.load() - before, 0u);
    EXPECT_GE(world.broadPhase.CellSize(), 7.0);
}

} // namespace
