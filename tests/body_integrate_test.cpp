// One fixed step of a body: damping, averaging over the contact count,
// semi-implicit motion, torque through the previous inverse, Euler's equations
// one component after the other, and the re-orthonormalised frame.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "render/Platform.h"
#include "shapes/Shape.h"
#include "world/World.h"

namespace
{
constexpr float kStep = 0.002f;

class CQuietPlatform : public IPlatform
{
public:
    bool IsKeyDown(int) const override { return false; }
    EMessageResult MessageBox(const std::string&, const std::string&, EMessageButtons,
                              EMessageIcon) override
    {
        return EMessageResult::kOk;
    }
    uint32_t TimeGetTime() const override { return 777u; }
};

void ExpectOrthonormal(const CMatrix4& m, float tolerance)
{
    const CVector x = m.Column(0), y = m.Column(1), z = m.Column(2);
    EXPECT_NEAR(x.LengthSquared(), 1.0f, tolerance);
    EXPECT_NEAR(y.LengthSquared(), 1.0f, tolerance);
    EXPECT_NEAR(z.LengthSquared(), 1.0f, tolerance);
    EXPECT_NEAR(Dot(x, y), 0.0f, tolerance);
    EXPECT_NEAR(Dot(y, z), 0.0f, tolerance);
    EXPECT_NEAR(Dot(z, x), 0.0f, tolerance);
    // Right-handed: x cross y is z.
    EXPECT_NEAR(Dot(Cross(x, y), z), 1.0f, tolerance);
}

// The cosine of the angle between two directions, whatever their lengths.
double Cosine(const CVector& a, const CVector& b)
{
    return Dot(a, b) / std::sqrt(static_cast<double>(a.LengthSquared()) * b.LengthSquared());
}

class BodyIntegrateTest : public ::testing::Test
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

    std::unique_ptr<CInertialBody> Ball(float mass = 30.0f)
    {
        return std::unique_ptr<CInertialBody>(CreateSphereBody(m_world.get(), mass, 3.5f));
    }

    CQuietPlatform m_platform;
    std::unique_ptr<CWorld> m_world;
};

TEST_F(BodyIntegrateTest, BodyAtRestFallsOneStepWhateverItsMass)
{
    for (const float mass : {1.0f, 30.0f, 1000.0f})
    {
        const auto body = Ball(mass);
        body->matrix.SetTranslation(5.0f, -5.0f, 50.0f);
        body->ClearForces();
        EXPECT_EQ(body->force, CVector(0.0f, 0.0f, -500.0f * mass));
        body->Integrate(kStep);
        // Damping acts first, on a zero velocity; then the full gravity term.
        EXPECT_EQ(body->linearVelocity, CVector(0.0f, 0.0f, -1.0f)) << "mass " << mass;
        EXPECT_EQ(body->Position(), CVector(5.0f, -5.0f, 50.0f - 0.002f)) << "mass " << mass;
        EXPECT_EQ(body->contactCount, 1u);
    }
}

TEST_F(BodyIntegrateTest, ForceAndTorqueAreAveragedOverTheContactCount)
{
    const struct
    {
        uint32_t contacts;
        float divisor;
    } cases[] = {{0u, 1.0f}, {1u, 1.0f}, {3u, 3.0f}, {4u, 4.0f}};
    for (const auto& c : cases)
    {
        const auto body = Ball();
        body->ClearForces();
        body->torque = CVector(0.0f, 0.0f, 12.0f);
        body->contactCount = c.contacts;
        body->Integrate(kStep);
        // Gravity is averaged too: one third of the weight with three contacts.
        EXPECT_FLOAT_EQ(body->linearVelocity.z, -500.0f / c.divisor * kStep) << c.contacts;
        EXPECT_FLOAT_EQ(body->force.z, -15000.0f / c.divisor) << c.contacts;
        EXPECT_FLOAT_EQ(body->torque.z, 12.0f / c.divisor) << c.contacts;
        // Own moment of the ball: 0.4 * 30 * 3.5^2 = 147.
        EXPECT_FLOAT_EQ(body->angularVelocity.z, kStep * (12.0f / c.divisor) / 147.0f);
        EXPECT_EQ(body->contactCount, c.contacts == 0 ? 1u : c.contacts);
    }
}

TEST_F(BodyIntegrateTest, FreeFlightIsOnlyDamped)
{
    const auto body = Ball();
    body->linearVelocity = CVector(10.0f, -20.0f, 0.0f);
    body->angularVelocity = CVector(0.0f, 0.0f, 3.0f);
    body->Integrate(kStep); // no ClearForces: no gravity either
    const float k = 1.0f - kStep / 30.0f;
    EXPECT_EQ(body->linearVelocity, CVector(10.0f * k, -20.0f * k, 0.0f));
    EXPECT_EQ(body->angularVelocity, CVector(0.0f, 0.0f, 3.0f * k));
    EXPECT_FLOAT_EQ(body->Position().x, 10.0f * k * kStep);
}

// Three spheres placed so that the three principal moments differ.
std::unique_ptr<CInertialBody> Asymmetric()
{
    auto body = std::make_unique<CInertialBody>(nullptr);
    const CVector centres[] = {{2.0f, 0.0f, 0.0f}, {-2.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 3.0f}};
    for (const CVector& c : centres)
    {
        auto* s = new CSphere(body.get(), 1.0f, 1.0f);
        s->matrix.SetTranslation(c);
        body->AddShape(s);
    }
    body->Prepare();
    return body;
}

TEST_F(BodyIntegrateTest, AsymmetricBodyHasDistinctMoments)
{
    const auto body = Asymmetric();
    EXPECT_FLOAT_EQ(body->moments.x, 7.2f);
    EXPECT_FLOAT_EQ(body->moments.y, 15.2f);
    EXPECT_FLOAT_EQ(body->moments.z, 9.2f);
}

TEST_F(BodyIntegrateTest, SpinAboutOnePrincipalAxisKeepsThatAxis)
{
    const CVector spins[] = {{25.0f, 0.0f, 0.0f}, {0.0f, -25.0f, 0.0f}, {0.0f, 0.0f, 25.0f}};
    for (int axis = 0; axis < 3; ++axis)
    {
        const auto body = Asymmetric();
        // A start orientation away from the world axes.
        body->SetAxes(CVector(0.3f, -0.4f, 0.866f), CVector(1.0f, 0.2f, 0.0f));
        body->matrix.InvertAffine(body->inverse);
        const CVector worldAxis = body->matrix.Column(axis);
        body->angularVelocity = spins[axis];
        CVector expected = spins[axis];
        const float k = 1.0f - kStep / 30.0f;
        for (int i = 0; i < 1000; ++i)
        {
            body->Integrate(kStep);
            expected = expected * k;
        }
        // Euler's coupling terms vanish exactly: only the damping acts.
        EXPECT_EQ(body->angularVelocity, expected) << "axis " << axis;
        const CVector now = body->matrix.Column(axis);
        EXPECT_NEAR(Cosine(now, worldAxis), 1.0, 1e-6) << "axis " << axis;
        ExpectOrthonormal(body->matrix, 1e-4f);
    }
}

TEST_F(BodyIntegrateTest, EulerEquationsUseTheComponentsAlreadyUpdated)
{
    const auto body = Asymmetric();
    body->moments = CVector(1.0f, 2.0f, 4.0f);
    body->angularVelocity = CVector(3.0f, 5.0f, 7.0f);
    const float h = 0.05f;
    body->Integrate(h);

    const float k = 1.0f - h / 30.0f;
    float w1 = 3.0f * k, w2 = 5.0f * k, w3 = 7.0f * k;
    const float simultaneous1 = w1 + h * ((2.0f - 4.0f) * w2 * w3) / 1.0f;
    const float simultaneous2 = w2 + h * ((4.0f - 1.0f) * w1 * w3) / 2.0f;
    w1 += h * ((2.0f - 4.0f) * w2 * w3) / 1.0f;
    w2 += h * ((4.0f - 1.0f) * w1 * w3) / 2.0f;
    w3 += h * ((1.0f - 2.0f) * w1 * w2) / 4.0f;
    EXPECT_FLOAT_EQ(body->angularVelocity.x, w1);
    EXPECT_FLOAT_EQ(body->angularVelocity.y, w2);
    EXPECT_FLOAT_EQ(body->angularVelocity.z, w3);
    EXPECT_EQ(body->angularVelocity.x, simultaneous1);
    // The second component already sees the new first one.
    EXPECT_GT(std::fabs(body->angularVelocity.y - simultaneous2), 0.1f);
}

TEST_F(BodyIntegrateTest, TorqueEntersThroughThePreviousInverse)
{
    const auto body = Ball(5.0f); // moments 24.5 each: no coupling
    // A builder turns the prepared body 90 degrees about x without a new
    // inverse: world z is body y now, but the first step does not know yet.
    body->SetAxes(CVector(0.0f, -1.0f, 0.0f), CVector(1.0f, 0.0f, 0.0f));
    ASSERT_EQ(body->inverse, kIdentity);
    const float moment = body->moments.z;

    body->torque = CVector(0.0f, 0.0f, 10.0f);
    body->Integrate(kStep);
    EXPECT_FLOAT_EQ(body->angularVelocity.z, kStep * 10.0f / moment);
    EXPECT_EQ(body->angularVelocity.y, 0.0f);
    // The step rebuilt the inverse from the turned matrix.
    const CVector worldZInBody = body->inverse.TransformDirection(kAxisZ);
    EXPECT_NEAR(worldZInBody.y, 1.0f, 1e-4f);

    body->torque = CVector(0.0f, 0.0f, 10.0f);
    const float before = body->angularVelocity.y;
    body->Integrate(kStep);
    EXPECT_NEAR(body->angularVelocity.y - before, kStep * 10.0f / moment, 1e-7f);
}

TEST_F(BodyIntegrateTest, WorldSpinIsTheBodySpinThroughTheOrientationBeforeTheTurn)
{
    const auto body = Asymmetric();
    body->SetAxes(CVector(0.0f, 0.6f, 0.8f), CVector(1.0f, 0.0f, 0.0f));
    body->angularVelocity = CVector(1.0f, 2.0f, 3.0f);
    const CMatrix4 before = body->matrix;
    body->Integrate(kStep);
    EXPECT_EQ(body->worldAngularVelocity, before.TransformDirection(body->angularVelocity));
    // And the inverse belongs to the new orientation.
    const CVector p = body->matrix.TransformPoint(CVector(1.0f, 2.0f, 3.0f));
    const CVector back = body->inverse.TransformPoint(p);
    EXPECT_NEAR(back.x, 1.0f, 1e-5f);
    EXPECT_NEAR(back.y, 2.0f, 1e-5f);
    EXPECT_NEAR(back.z, 3.0f, 1e-5f);
}

struct SAxesCase
{
    CVector z;
    CVector x;
};

TEST(BodySetAxes, ColumnsComeOutOrthonormalAlongTheWantedZ)
{
    BuildSqrtTable();
    const SAxesCase cases[] = {
        {{0.0f, 0.0f, 2.0f}, {1.0f, 0.0f, 0.0f}},
        {{1.0f, 1.0f, 1.0f}, {1.0f, 0.0f, 0.0f}},
        {{0.3f, -0.2f, 0.9f}, {0.5f, 0.5f, 0.0f}},
        {{-5.0f, 0.01f, 0.0f}, {0.0f, 3.0f, 3.0f}},
        // The drifted frame of an integration: nearly, not quite, unit and square.
        {{0.001f, 0.0005f, 1.0003f}, {0.9998f, 0.002f, -0.001f}},
    };
    for (const auto& c : cases)
    {
        CInertialBody body(nullptr);
        body.matrix.SetTranslation(1.0f, 2.0f, 3.0f);
        body.SetAxes(c.z, c.x);
        ExpectOrthonormal(body.matrix, 1e-4f);
        EXPECT_NEAR(Cosine(body.matrix.Column(2), c.z), 1.0, 1e-6);
        // The new x lies on the side of the hint.
        EXPECT_GT(Dot(body.matrix.Column(0), c.x), 0.0f);
        EXPECT_EQ(body.Position(), CVector(1.0f, 2.0f, 3.0f));
        EXPECT_EQ(body.matrix[3], 0.0f);
        EXPECT_EQ(body.matrix[7], 0.0f);
        EXPECT_EQ(body.matrix[11], 0.0f);
        EXPECT_EQ(body.matrix[15], 1.0f);
    }
}

TEST(BodySetAxes, HintAlongZLeavesZeroColumnsNotNaN)
{
    BuildSqrtTable();
    CInertialBody body(nullptr);
    body.SetAxes(CVector(0.0f, 0.0f, 3.0f), CVector(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(body.matrix.Column(2), kAxisZ);
    EXPECT_EQ(body.matrix.Column(1), kZeroVector);
    EXPECT_EQ(body.matrix.Column(0), kZeroVector);
}
} // namespace
