// Random throws: where a thrown body starts, how it is oriented and spun, and
// the order in which the throw consumes the generator's draws.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Random.h"

namespace
{
// The draws a throw is about to consume, read ahead from the same seed.
class CDraws
{
public:
    explicit CDraws(uint32_t seed)
    {
        SeedRandom(seed);
        for (int i = 0; i < 16; ++i)
        {
            m_draws.push_back(Random());
        }
        SeedRandom(seed);
    }
    float u() { return static_cast<float>(m_draws[m_next++]) / 32767.0f; }
    float U() { return 2.0f * static_cast<float>(m_draws[m_next++]) / 32767.0f - 1.0f; }
    float Sign() { return m_draws[m_next++] < 16383 ? 1.0f : -1.0f; }
    int Used() const { return m_next; }

private:
    std::vector<int> m_draws;
    int m_next = 0;
};

// A seed whose first draw picks the style with p in [low, high).
uint32_t SeedForStyle(float low, float high)
{
    for (uint32_t seed = 1;; ++seed)
    {
        SeedRandom(seed);
        const float p = RandomUnit();
        if (p >= low && p < high)
        {
            return seed;
        }
    }
}

CVector Normalized(CVector v)
{
    v.Normalize();
    return v;
}

class BodyThrowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }

    void SetUp() override
    {
        SeedRandom(1u);
        m_ball.reset(CreateSphereBody(nullptr, 30.0f, 3.5f));
    }

    // The throw of the ball from the start of a seed.
    void Throw(uint32_t seed)
    {
        SeedRandom(seed);
        m_ball->ThrowRandomly();
    }

    std::unique_ptr<CInertialBody> m_ball;
};

TEST_F(BodyThrowTest, UprightSpinDrawsInTheOrderOfTheTable)
{
    const uint32_t seed = SeedForStyle(0.0f, 0.6f);
    CDraws d(seed);
    const float r = 3.5f;
    d.u(); // style
    const float px = 20.0f * d.U(), py = 20.0f * d.U(), pz = r + 0.5f * r * d.u();
    const float ax = 0.5f * d.U(), ay = 0.5f * d.U();
    const float az = d.u() >= 0.8f ? -1.0f : 1.0f;
    const float vx = 30.0f * d.U(), vy = 30.0f * d.U();
    const float sign = d.Sign();
    const float spin = sign * (10.0f + 20.0f * d.u()) * kTwoPi;

    Throw(seed);
    EXPECT_EQ(m_ball->Position(), CVector(px, py, pz));
    EXPECT_EQ(m_ball->matrix.Column(2), Normalized(CVector(ax, ay, az)));
    EXPECT_EQ(m_ball->linearVelocity, CVector(vx, vy, 0.0f));
    EXPECT_EQ(m_ball->angularVelocity, CVector(0.0f, 0.0f, spin));
    // Nothing more was drawn.
    SeedRandom(seed);
    for (int i = 0; i < d.Used(); ++i)
    {
        Random();
    }
    const int next = Random();
    Throw(seed);
    EXPECT_EQ(Random(), next);
}

TEST_F(BodyThrowTest, TumbleDrawsInTheOrderOfTheTable)
{
    const uint32_t seed = SeedForStyle(0.6f, 0.8f);
    CDraws d(seed);
    const float r = 3.5f;
    d.u();
    const float px = 20.0f * d.U(), py = 20.0f * d.U(), pz = r + r * d.u();
    const float ax = d.U(), ay = d.U(), az = d.U();
    const float vx = 50.0f * d.U(), vy = 50.0f * d.U(), vz = 200.0f * d.u();
    const float rate = kTwoPi * 5.0f * d.u();
    const float wx = d.U(), wy = d.U(), wz = d.U();

    Throw(seed);
    EXPECT_EQ(m_ball->Position(), CVector(px, py, pz));
    EXPECT_EQ(m_ball->matrix.Column(2), Normalized(CVector(ax, ay, az)));
    EXPECT_EQ(m_ball->linearVelocity, CVector(vx, vy, vz));
    EXPECT_EQ(m_ball->angularVelocity, CVector(rate * wx, rate * wy, rate * wz));
}

TEST_F(BodyThrowTest, AxisSpinDrawsInTheOrderOfTheTable)
{
    const uint32_t seed = SeedForStyle(0.8f, 1.1f);
    CDraws d(seed);
    const float r = 3.5f;
    d.u();
    const float px = 20.0f * d.U(), py = 20.0f * d.U(), pz = r + 0.5f * r * d.u();
    const float ax = d.U(), ay = d.U(), az = 0.1f * d.U();
    const float vx = 50.0f * d.U(), vy = 50.0f * d.U(), vz = 70.0f * d.u();
    const float sign = d.Sign();
    const float rate = sign * (10.0f + 10.0f * d.u()) * kTwoPi;
    const CVector a = Normalized(CVector(ax, ay, az));

    Throw(seed);
    EXPECT_EQ(m_ball->Position(), CVector(px, py, pz));
    EXPECT_EQ(m_ball->matrix.Column(2), a);
    EXPECT_EQ(m_ball->linearVelocity, CVector(vx, vy, vz));
    // The spin is along a in body coordinates, not along the body's z.
    EXPECT_EQ(m_ball->angularVelocity, rate * a);
}

TEST_F(BodyThrowTest, EveryThrowStartsLowInsideTheMiddleAndOrthonormal)
{
    const std::unique_ptr<CInertialBody> bodies[] = {
        std::unique_ptr<CInertialBody>(CreateSphereBody(nullptr, 30.0f, 3.5f)),
        std::unique_ptr<CInertialBody>(CreateCylinderBody(nullptr, 20.0f, 2.0f, 6.0f)),
        std::unique_ptr<CInertialBody>(CreateTorusBody(nullptr, 10.0f, 1.0f, 5.0f)),
    };
    int styles[3] = {0, 0, 0};
    SeedRandom(20240607u);
    for (int i = 0; i < 3000; ++i)
    {
        CInertialBody& body = *bodies[i % 3];
        const float r = body.boundingRadius;
        body.ThrowRandomly();
        const CVector p = body.Position();
        ASSERT_GE(p.z, r);
        ASSERT_LE(p.z, 2.0f * r);
        ASSERT_LE(std::fabs(p.x), 20.0f);
        ASSERT_LE(std::fabs(p.y), 20.0f);

        const CMatrix4& m = body.matrix;
        const CVector x = m.Column(0), y = m.Column(1), z = m.Column(2);
        ASSERT_NEAR(x.LengthSquared(), 1.0f, 1e-4f);
        ASSERT_NEAR(y.LengthSquared(), 1.0f, 1e-4f);
        ASSERT_NEAR(z.LengthSquared(), 1.0f, 1e-4f);
        ASSERT_NEAR(Dot(x, y), 0.0f, 1e-4f);
        ASSERT_NEAR(Dot(y, z), 0.0f, 1e-4f);
        ASSERT_NEAR(Dot(Cross(x, y), z), 1.0f, 1e-4f);

        // The world spin and the inverse belong to the new orientation.
        ASSERT_EQ(body.worldAngularVelocity, m.TransformDirection(body.angularVelocity));
        const CVector back = body.inverse.TransformPoint(m.TransformPoint(kAxisX));
        ASSERT_NEAR(back.x, 1.0f, 1e-4f);
        ASSERT_NEAR(back.y, 0.0f, 1e-4f);

        const CVector& w = body.angularVelocity;
        if (w.x == 0.0f && w.y == 0.0f)
        {
            ++styles[0];
            EXPECT_EQ(body.linearVelocity.z, 0.0f);
            EXPECT_GE(std::fabs(w.z), 10.0f * kTwoPi * 0.9999f);
            EXPECT_LE(std::fabs(w.z), 30.0f * kTwoPi * 1.0001f);
        }
        else if (p.z > 1.5f * r)
        {
            ++styles[1];
        }
        else
        {
            ++styles[2];
        }
    }
    // About 60, 20 and 20 in a hundred; the tumble is only counted above 1.5 R.
    EXPECT_GT(styles[0], 1600);
    EXPECT_LT(styles[0], 2000);
    EXPECT_GT(styles[1], 150);
    EXPECT_GT(styles[2], 500);
}

TEST_F(BodyThrowTest, AccumulatorsAreLeftForTheNextStep)
{
    m_ball->force = CVector(1.0f, 2.0f, 3.0f);
    m_ball->torque = CVector(4.0f, 5.0f, 6.0f);
    m_ball->contactCount = 7;
    Throw(99u);
    EXPECT_EQ(m_ball->force, CVector(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(m_ball->torque, CVector(4.0f, 5.0f, 6.0f));
    EXPECT_EQ(m_ball->contactCount, 7u);
}
} // namespace
