// A ball dropped on the floor of a real world, stepped by the world itself:
// each bounce lower than the last, at rest with its lowest point sunk by
// weight / stiffness = 500 / 40000, and never out through a wall.
//
// Prints the bounce heights, the time until rest and the resting height.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/headless/HeadlessPlatform.h"
#include "dynamics/Body.h"
#include "world/World.h"

namespace
{
constexpr float kRadius = 3.5f;
// Weight over stiffness: 500 m / (40000 m).
constexpr float kRestingSink = 0.0125f;

struct SDropRecord
{
    // Heights of the lowest point at the top of every flight.
    std::vector<float> apexes;
    // The first time, seconds, after which the ball stays within 1e-4 of its
    // resting height at below 0.01 units per second.
    double restTime = -1.0;
    float finalLowest = 0.0f;
    float maxAbsX = 0.0f;
    float maxAbsY = 0.0f;
    float minLowest = 1e9f;
};

class BodyDropTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetPlatform(&m_platform);
        m_world = std::make_unique<CWorld>();
    }
    void TearDown() override
    {
        m_world.reset();
        SetPlatform(nullptr);
    }

    // Drops a ball with its centre at height, runs the world for seconds.
    SDropRecord Drop(float height, float mass, const CVector& velocity, double seconds)
    {
        m_world->bodies.emplace_back(CreateSphereBody(m_world.get(), mass, kRadius));
        CInertialBody& ball = *m_world->bodies.back();
        ball.matrix.SetTranslation(0.0f, 0.0f, height);
        ball.linearVelocity = velocity;

        SDropRecord record;
        const int steps = static_cast<int>(std::lround(seconds / kSimulationStep));
        float previousVz = ball.linearVelocity.z;
        bool settled = false;
        for (int i = 1; i <= steps; ++i)
        {
            m_world->Step(kSimulationStep);
            const CVector p = ball.Position();
            const float vz = ball.linearVelocity.z;
            const float lowest = p.z - kRadius;
            if (previousVz > 0.0f && vz <= 0.0f && lowest > 0.0f)
            {
                record.apexes.push_back(lowest);
            }
            previousVz = vz;
            const bool resting = std::fabs(lowest + kRestingSink) < 1e-4f &&
                                 std::sqrt(ball.linearVelocity.LengthSquared()) < 0.01f;
            if (resting && !settled)
            {
                record.restTime = i * static_cast<double>(kSimulationStep);
            }
            settled = resting;
            if (!resting)
            {
                record.restTime = -1.0;
            }
            record.maxAbsX = std::fmax(record.maxAbsX, std::fabs(p.x));
            record.maxAbsY = std::fmax(record.maxAbsY, std::fabs(p.y));
            record.minLowest = std::fmin(record.minLowest, lowest);
            record.finalLowest = lowest;
        }
        return record;
    }

    CHeadlessPlatform m_platform;
    std::unique_ptr<CWorld> m_world;
};

TEST_F(BodyDropTest, BallDroppedFromHeight20BouncesLowerEachTimeAndComesToRest)
{
    const SDropRecord r = Drop(20.0f, 30.0f, CVector(0.0f, 0.0f, 0.0f), 10.0);

    std::printf("ball of mass 30, radius 3.5, centre dropped from 20 (lowest point 16.5)\n");
    std::printf("lowest point at the top of each bounce:");
    for (const float apex : r.apexes)
    {
        std::printf(" %.4f", apex);
    }
    std::printf("\nat rest (within 1e-4, below 0.01/s) after %.3f s; lowest point %.6f\n",
                r.restTime, r.finalLowest);

    ASSERT_GE(r.apexes.size(), 4u);
    EXPECT_LT(r.apexes.front(), 16.5f * 0.75f);
    for (size_t i = 1; i < r.apexes.size(); ++i)
    {
        EXPECT_LT(r.apexes[i], r.apexes[i - 1]) << "bounce " << i;
    }
    ASSERT_GT(r.restTime, 0.0);
    EXPECT_LT(r.restTime, 3.0);
    EXPECT_NEAR(r.finalLowest, -kRestingSink, 1e-5f);
    EXPECT_EQ(r.maxAbsX, 0.0f);
    EXPECT_EQ(r.maxAbsY, 0.0f);
}

TEST_F(BodyDropTest, RestingSinkIsTheSameWhateverTheMass)
{
    for (const float mass : {1.0f, 30.0f, 1000.0f})
    {
        const SDropRecord r = Drop(8.0f, mass, CVector(0.0f, 0.0f, 0.0f), 4.0);
        EXPECT_GT(r.restTime, 0.0) << "mass " << mass;
        EXPECT_NEAR(r.finalLowest, -kRestingSink, 1e-5f) << "mass " << mass;
        m_world->bodies.clear();
    }
}

TEST_F(BodyDropTest, BallHurledAtTheWallsStaysInside)
{
    const CVector velocities[] = {
        {300.0f, 0.0f, 0.0f}, {0.0f, -400.0f, 50.0f}, {-250.0f, 350.0f, 150.0f}};
    for (const CVector& v : velocities)
    {
        const SDropRecord r = Drop(10.0f, 30.0f, v, 20.0);
        // The walls at x = +-40 and y = +-60 hold the centre inside and let the
        // ball sink by no more than half its radius.
        EXPECT_LT(r.maxAbsX, 40.0f - 0.5f * kRadius) << v.x << " " << v.y;
        EXPECT_LT(r.maxAbsY, 60.0f - 0.5f * kRadius) << v.x << " " << v.y;
        EXPECT_GT(r.minLowest, -0.5f * kRadius) << v.x << " " << v.y;
        EXPECT_NEAR(r.finalLowest, -kRestingSink, 1e-4f) << v.x << " " << v.y;
        m_world->bodies.clear();
    }
}
} // namespace
