// The penalty contact of a body with a fixed plane: rejection, spring,
// restitution damping, Coulomb friction and the spinning-friction torque.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Plane.h"
#include "shapes/Shape.h"

namespace
{
const CPlane kFloor{{0.0f, 0.0f, 1.0f}, 0.0f};
constexpr float kFloorRestitution = 0.8f;
constexpr float kFloorFriction = 0.5f;

class PlaneContactTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }

    // The standard ball, mass 30 and radius 3.5, its centre at the height given.
    static std::unique_ptr<CInertialBody> BallAt(float height)
    {
        std::unique_ptr<CInertialBody> ball(CreateSphereBody(nullptr, 30.0f, 3.5f));
        ball->matrix.SetTranslation(0.0f, 0.0f, height);
        return ball;
    }

    static void CollideFloor(CInertialBody& body)
    {
        body.CollidePlane(kFloor, kFloorRestitution, kFloorFriction);
    }
};

TEST_F(PlaneContactTest, BallSinkingByATenthGetsTheSpringForceAlone)
{
    const auto ball = BallAt(3.4f);
    CollideFloor(*ball);
    EXPECT_EQ(ball->contactCount, 1u);
    // 0.1 * 40000 * 30, the depth as rounded in single precision.
    EXPECT_NEAR(ball->force.z, 120000.0f, 0.2f);
    EXPECT_EQ(ball->force.x, 0.0f);
    EXPECT_EQ(ball->force.y, 0.0f);
    // Straight below the centre: no lever.
    EXPECT_EQ(ball->torque, kZeroVector);
}

struct SRestitutionCase
{
    std::string name;
    float bodyRestitution;
    // Damping coefficient per unit mass for the averaged restitution.
    float dampingPerMass;
    float tolerance;
};

std::ostream& operator<<(std::ostream& out, const SRestitutionCase& c)
{
    return out << c.name;
}

const SRestitutionCase kRestitutionCases[] = {
    {"Average0_75", 0.7f, 72.95f, 0.01f},
    {"AverageExactly1IsUndamped", 1.2f, 0.0f, 0.0f},
    {"Average1_15IsCutTo1", 1.5f, 0.0f, 0.0f},
    {"NegativeAverageIsRaisedTo0_001", -1.0f, 728.2f, 0.05f},
    {"Average0_85", 0.9f, 41.33f, 0.01f},
};

class PlaneRestitutionTest : public ::testing::TestWithParam<SRestitutionCase>
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }
};

TEST_P(PlaneRestitutionTest, DampingOpposesTheNormalSpeed)
{
    const SRestitutionCase& c = GetParam();
    const float mass = 30.0f;
    std::unique_ptr<CInertialBody> ball(CreateSphereBody(nullptr, mass, 3.5f));
    ball->matrix.SetTranslation(0.0f, 0.0f, 3.4f);
    ball->restitution = c.bodyRestitution;
    ball->linearVelocity = CVector(0.0f, 0.0f, -2.0f);
    ball->CollidePlane(kFloor, kFloorRestitution, kFloorFriction);
    const float spring = (3.5f - 3.4f) * 40000.0f * mass;
    const float damping = (ball->force.z - spring) / 2.0f;
    EXPECT_NEAR(damping / mass, c.dampingPerMass, c.tolerance + 0.01f);
    // A sinking ball feels more than the spring; never less.
    EXPECT_GE(ball->force.z, spring - 0.2f);
}

INSTANTIATE_TEST_SUITE_P(Averages, PlaneRestitutionTest, ::testing::ValuesIn(kRestitutionCases),
                         [](const auto& info) { return info.param.name; });

TEST_F(PlaneContactTest, BodyExactlyItsRadiusAboveThePlaneIsRejected)
{
    const struct
    {
        float height;
        uint32_t contacts;
    } cases[] = {{3.5f, 0u}, {3.6f, 0u}, {3.4999f, 1u}};
    for (const auto& c : cases)
    {
        const auto ball = BallAt(c.height);
        CollideFloor(*ball);
        EXPECT_EQ(ball->contactCount, c.contacts) << c.height;
    }
}

// Counts how often the contact asks for the deepest point.
class CCountingSphere : public CSphere
{
public:
    CCountingSphere(CInertialBody* body, int& calls) : CSphere(body, 1.0f, 1.0f), m_calls(calls) {}
    float PlaneContact(const CPlane& plane, CVector& point, float& lever) const override
    {
        ++m_calls;
        return CSphere::PlaneContact(plane, point, lever);
    }

private:
    int& m_calls;
};

TEST_F(PlaneContactTest, ShapeExactlyItsRadiusAwayIsStillAskedAndAddsNothing)
{
    const struct
    {
        float height;
        int calls;
    } cases[] = {{1.0f, 2}, {1.001f, 0}};
    for (const auto& c : cases)
    {
        int calls = 0;
        CInertialBody dumbbell(nullptr);
        for (const float x : {-3.0f, 3.0f})
        {
            auto* end = new CCountingSphere(&dumbbell, calls);
            end->matrix.SetTranslation(x, 0.0f, 0.0f);
            dumbbell.AddShape(end);
        }
        dumbbell.Prepare();
        ASSERT_EQ(dumbbell.boundingRadius, 4.0f);
        dumbbell.matrix.SetTranslation(0.0f, 0.0f, c.height);
        CollideFloor(dumbbell);
        EXPECT_EQ(calls, c.calls) << c.height;
        EXPECT_EQ(dumbbell.contactCount, 0u);
        EXPECT_EQ(dumbbell.force, kZeroVector);
    }
}

TEST_F(PlaneContactTest, EveryTouchingShapeIsAContactOfItsOwn)
{
    CInertialBody dumbbell(nullptr);
    for (const float x : {-3.0f, 3.0f})
    {
        auto* end = new CSphere(&dumbbell, 1.0f, 1.0f);
        end->matrix.SetTranslation(x, 0.0f, 0.0f);
        dumbbell.AddShape(end);
    }
    dumbbell.Prepare();
    dumbbell.matrix.SetTranslation(0.0f, 0.0f, 0.9f);
    CollideFloor(dumbbell);
    EXPECT_EQ(dumbbell.contactCount, 2u);
    // Two springs of 0.1 * 40000 * 2, symmetric: their torques cancel.
    EXPECT_NEAR(dumbbell.force.z, 16000.0f, 0.1f);
    EXPECT_NEAR(dumbbell.torque.y, 0.0f, 0.01f);
}

TEST_F(PlaneContactTest, ShapesThatDoNotCollideNeverTouch)
{
    CInertialBody ghost(nullptr);
    ghost.AddShape(new CSphere(&ghost, 3.5f, 30.0f, true, false));
    ghost.Prepare();
    ghost.matrix.SetTranslation(0.0f, 0.0f, 1.0f);
    CollideFloor(ghost);
    EXPECT_EQ(ghost.contactCount, 0u);
    EXPECT_EQ(ghost.force, kZeroVector);
    EXPECT_EQ(ghost.torque, kZeroVector);
}

TEST_F(PlaneContactTest, FrictionHasFullSizeAtAnySlidingSpeed)
{
    const float mu = (kFloorFriction + 0.4f) / 2.0f;
    const float speeds[] = {0.0001f, 1.0f, 100.0f};
    for (const float speed : speeds)
    {
        const auto ball = BallAt(3.4f);
        ball->linearVelocity = CVector(speed, 0.0f, 0.0f);
        CollideFloor(*ball);
        const float spring = ball->force.z;
        // Only the table square root's 2^-16 stands between the speeds.
        EXPECT_NEAR(ball->force.x, -mu * spring, 2e-5f * mu * spring) << speed;
        EXPECT_EQ(ball->force.y, 0.0f) << speed;
        // Friction at the bottom of the ball turns it into the roll (about +y).
        EXPECT_EQ(ball->torque.y, -3.5f * ball->force.x) << speed;
    }
}

TEST_F(PlaneContactTest, RollingWithoutSlidingFeelsNoFriction)
{
    const auto ball = BallAt(3.4f);
    // Contact point velocity v + w x a = 0 for a ball rolling along +x.
    ball->linearVelocity = CVector(7.0f, 0.0f, 0.0f);
    ball->worldAngularVelocity = CVector(0.0f, 2.0f, 0.0f);
    CollideFloor(*ball);
    EXPECT_EQ(ball->force.x, 0.0f);
    EXPECT_EQ(ball->torque, kZeroVector);
}

TEST_F(PlaneContactTest, SpinAboutTheNormalMeetsATorqueAgainstIt)
{
    const float mu = (kFloorFriction + 0.4f) / 2.0f;
    const struct
    {
        float spin;
        float sign;
    } cases[] = {{5.0f, 1.0f}, {-0.001f, -1.0f}, {0.0f, 0.0f}};
    for (const auto& c : cases)
    {
        const auto ball = BallAt(3.4f);
        ball->worldAngularVelocity = CVector(0.0f, 0.0f, c.spin);
        CollideFloor(*ball);
        const float spring = ball->force.z;
        EXPECT_FLOAT_EQ(ball->torque.z, -0.1f * c.sign * spring * 3.5f * mu) << c.spin;
        EXPECT_EQ(ball->torque.x, 0.0f);
        EXPECT_EQ(ball->torque.y, 0.0f);
    }
}

TEST_F(PlaneContactTest, EachWallPushesInwards)
{
    const struct
    {
        CPlane plane;
        CVector centre;
    } cases[] = {
        {{{1.0f, 0.0f, 0.0f}, 40.0f}, {-37.0f, 0.0f, 10.0f}},
        {{{-1.0f, 0.0f, 0.0f}, 40.0f}, {37.0f, 0.0f, 10.0f}},
        {{{0.0f, 1.0f, 0.0f}, 60.0f}, {0.0f, -57.0f, 10.0f}},
        {{{0.0f, -1.0f, 0.0f}, 60.0f}, {0.0f, 57.0f, 10.0f}},
    };
    for (const auto& c : cases)
    {
        std::unique_ptr<CInertialBody> ball(CreateSphereBody(nullptr, 30.0f, 3.5f));
        ball->matrix.SetTranslation(c.centre);
        ball->CollidePlane(c.plane, 0.9f, 0.5f);
        ASSERT_EQ(ball->contactCount, 1u);
        // Sunk by 0.5: 0.5 * 1,200,000 along the inward normal.
        EXPECT_NEAR(Dot(ball->force, c.plane.normal), 600000.0f, 1.0f);
        EXPECT_NEAR(
            (ball->force - Dot(ball->force, c.plane.normal) * c.plane.normal).LengthSquared(), 0.0f,
            1e-6f);
    }
}
} // namespace
