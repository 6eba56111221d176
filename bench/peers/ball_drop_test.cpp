// The start grid must be a valid start for every engine (no ball touching another or a plane),
// the same for every run, and the end-state check must catch every way a ball can leave.

#include "BallDrop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{

TEST(BallGrid, StartsInsideTheBoxWithoutTouching)
{
    for (const int n : {1, 10, 159, 160, 161, 1000, 3000, 10000})
    {
        SCOPED_TRACE(n);
        const std::vector<SPoint> balls = MakeBallGrid(n, 12345);
        ASSERT_EQ(balls.size(), static_cast<size_t>(n));
        for (const SPoint& p : balls)
        {
            EXPECT_GT(kBoxHalfX - std::fabs(p.x), kBallRadius);
            EXPECT_GT(kBoxHalfY - std::fabs(p.y), kBallRadius);
            EXPECT_GT(p.z, kBallRadius);
        }
        double closest = std::numeric_limits<double>::infinity();
        for (size_t i = 0; i < balls.size(); ++i)
            for (size_t j = i + 1; j < balls.size(); ++j)
            {
                const double dx = balls[i].x - balls[j].x;
                const double dy = balls[i].y - balls[j].y;
                const double dz = balls[i].z - balls[j].z;
                closest = std::min(closest, dx * dx + dy * dy + dz * dz);
            }
        if (n > 1)
        {
            EXPECT_GT(std::sqrt(closest), 2 * kBallRadius);
        }
    }
}

TEST(BallGrid, PartialLayerSpreadsOverTheFloor)
{
    // Ten balls must not line up along one wall: they span most of both floor axes.
    const std::vector<SPoint> balls = MakeBallGrid(10, 12345);
    double lowX = 1e9, highX = -1e9, lowY = 1e9, highY = -1e9;
    for (const SPoint& p : balls)
    {
        lowX = std::min(lowX, p.x);
        highX = std::max(highX, p.x);
        lowY = std::min(lowY, p.y);
        highY = std::max(highY, p.y);
        EXPECT_LT(p.z, 5.0); // all in the first layer
    }
    EXPECT_GT(highX - lowX, kBoxHalfX);
    EXPECT_GT(highY - lowY, kBoxHalfY);
}

TEST(BallGrid, SameSeedSameStartOtherSeedOtherJitter)
{
    const std::vector<SPoint> a = MakeBallGrid(500, 7);
    const std::vector<SPoint> b = MakeBallGrid(500, 7);
    const std::vector<SPoint> c = MakeBallGrid(500, 8);
    int differing = 0;
    for (size_t i = 0; i < a.size(); ++i)
    {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].y, b[i].y);
        EXPECT_EQ(a[i].z, b[i].z);
        differing += a[i].x != c[i].x;
        // The jitter stays within its cell whatever the seed.
        EXPECT_LT(std::fabs(a[i].x - c[i].x), 0.41);
    }
    EXPECT_GT(differing, 490);
}

TEST(EscapeCheck, CountsEveryWayOut)
{
    const std::vector<SPoint> start = {{0, 0, 4}, {10, 10, 11.5}};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double ceiling = 11.5 + 4 * kBallRadius;
    const struct
    {
        SPoint where;
        int escaped;
    } cases[] = {
        {{0, 0, kBallRadius}, 0},    // resting on the floor
        {{39.9, -59.9, 0.1}, 0},     // deep in a corner, still inside
        {{0, 0, ceiling - 0.01}, 0}, // a high bounce
        {{40.01, 0, 4}, 1},          // through the wall at x = 40
        {{-40.01, 0, 4}, 1},         // through the wall at x = -40
        {{0, 60.01, 4}, 1},          // through the wall at y = 60
        {{0, -60.01, 4}, 1},         // through the wall at y = -60
        {{0, 0, -0.01}, 1},          // through the floor
        {{0, 0, ceiling + 0.01}, 1}, // thrown upwards by an explosion
        {{nan, 0, 4}, 1},            // non-finite
        {{0, 0, inf}, 1},            // non-finite
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.where.x << ", " << c.where.y << ", " << c.where.z);
        EXPECT_EQ(CountEscaped(start, {{0, 0, 4}, c.where}), c.escaped);
    }
    // A world that returns fewer bodies than it was given has lost them.
    EXPECT_EQ(CountEscaped(start, {{0, 0, 4}}), 1);
}

} // namespace
