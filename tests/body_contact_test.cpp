// Penalty contact between bodies: rejection by bounding spheres, the reduced
// mass, the averaged and clamped coefficients, one contact per touching shape
// pair, equal and opposite forces with torques about each centre, and what
// that does to balls that strike each other or are shoved by the pusher.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>

#include "ContactShapes.h"
#include "dynamics/BodyContact.h"
#include "dynamics/Constants.h"
#include "shapes/ShapeContact.h"
#include "support/HeadlessGLTest.h"
#include "world/World.h"

namespace
{

// Bodies are prepared for real, which compiles display lists.
class BodyContactTest : public CHeadlessGLTest
{
protected:
    BodyContactTest() : CHeadlessGLTest(16, 16) {}
    static void SetUpTestSuite() { EnsureSqrtTable(); }

    static std::unique_ptr<CInertialBody> Ball(float mass, float radius, const CVector& at)
    {
        std::unique_ptr<CInertialBody> ball(CreateSphereBody(nullptr, mass, radius));
        ball->matrix.SetTranslation(at);
        ball->matrix.InvertAffine(ball->inverse);
        return ball;
    }

    static void ClearAccumulators(CInertialBody& body)
    {
        body.force = kZeroVector;
        body.torque = kZeroVector;
        body.contactCount = 0;
    }
};

struct MassCase
{
    float massA;
    float massB;
    float stiffness;
};

void PrintTo(const MassCase& c, std::ostream* os)
{
    *os << c.massA << " against " << c.massB;
}

class ReducedMassTest : public BodyContactTest, public ::testing::WithParamInterface<MassCase>
{
};

// At rest the force is the spring alone: -depth times 40000 m*, along the
// normal, bit for bit.
TEST_P(ReducedMassTest, SpringStiffnessIsFortyThousandReducedMasses)
{
    const MassCase& c = GetParam();
    auto a = Ball(c.massA, 1.0f, {1.9f, 0.5f, 0.0f});
    auto b = Ball(c.massB, 1.0f, kOrigin);
    CVector point, normal;
    const float depth = ShapeContact(*a->shapes[0], *b->shapes[0], point, normal);
    ASSERT_LT(depth, 0.0f);

    ClearAccumulators(*a);
    ClearAccumulators(*b);
    CollideBodies(*a, *b);
    const CVector expected = (-depth * c.stiffness) * normal;
    EXPECT_EQ(a->force, expected);
    EXPECT_EQ(b->force, -expected);
    EXPECT_EQ(a->torque, Cross(point - a->Position(), expected));
    EXPECT_EQ(b->torque, Cross(point - b->Position(), -expected));
    EXPECT_EQ(a->contactCount, 1u);
    EXPECT_EQ(b->contactCount, 1u);
}

const MassCase kMassCases[] = {
    {30.0f, 30.0f, 600000.0f}, // two balls: m* = 15
    {10.0f, 30.0f, 300000.0f}, // the pusher and a ball: m* = 7.5
    {30.0f, 10.0f, 300000.0f},
    {20.0f, 30.0f, 480000.0f},
};

INSTANTIATE_TEST_SUITE_P(Pairs, ReducedMassTest, ::testing::ValuesIn(kMassCases),
                         [](const auto& info)
                         {
                             return "Masses" + std::to_string(int(info.param.massA)) + "And" +
                                    std::to_string(int(info.param.massB));
                         });

struct CoefficientCase
{
    const char* name;
    float restitutionA, frictionA;
    float restitutionB, frictionB;
    float e;  // averaged and clamped
    float mu; // averaged and clamped
    // Damping per unit of reduced mass, as the plane contact's law gives it.
    double dampingPerMass;
};

void PrintTo(const CoefficientCase& c, std::ostream* os)
{
    *os << c.name;
}

class CoefficientTest : public BodyContactTest,
                        public ::testing::WithParamInterface<CoefficientCase>
{
};

// A ball closing at 2 and sliding at 3: the normal force is the spring plus
// c times the closing speed, the friction mu times the spring alone.
TEST_P(CoefficientTest, DampingAndFrictionFollowTheAveragedCoefficients)
{
    const CoefficientCase& c = GetParam();
    auto a = Ball(30.0f, 1.0f, {1.9f, 0.0f, 0.0f});
    auto b = Ball(30.0f, 1.0f, kOrigin);
    a->restitution = c.restitutionA;
    a->friction = c.frictionA;
    b->restitution = c.restitutionB;
    b->friction = c.frictionB;
    a->linearVelocity = CVector(-2.0f, 3.0f, 0.0f);

    CVector point, normal;
    const float depth = ShapeContact(*a->shapes[0], *b->shapes[0], point, normal);
    ClearAccumulators(*a);
    ClearAccumulators(*b);
    CollideBodies(*a, *b);

    const double reducedMass = 15.0;
    const double g = std::log(double(c.e));
    const double damping =
        4.0 * reducedMass * std::sqrt(40000.0 * g * g / (g * g + 9.869604950382893));
    EXPECT_NEAR(damping / reducedMass, c.dampingPerMass, 0.05);
    const double spring = -double(depth) * 40000.0 * reducedMass;
    const double closing = 2.0 * double(normal.x);
    EXPECT_NEAR(a->force.x, (spring + damping * closing) * normal.x, 1e-5 * spring);
    EXPECT_NEAR(a->force.y, -spring * c.mu, 1e-5 * spring);
    EXPECT_EQ(b->force, -a->force);
}

const CoefficientCase kCoefficientCases[] = {
    // The pusher against a standard body: -0.15 is raised to the floor.
    {"PusherAgainstStandardBody", -1.0f, 0.8f, 0.7f, 0.4f, 0.001f, 0.6f, 728.2},
    {"PusherAgainstBouncyBody", -1.0f, 0.8f, 1.5f, 0.4f, 0.25f, 0.6f, 322.97},
    {"FloorLikePair", 0.8f, 0.5f, 0.7f, 0.5f, 0.75f, 0.5f, 72.95},
    // Averages beyond 1 are cut to 1: no damping, full friction.
    {"OverElasticAndOverRough", 1.5f, 1.5f, 1.5f, 1.5f, 1.0f, 1.0f, 0.0},
    {"NegativeFrictionClampedToZero", 0.7f, -1.0f, 0.7f, 0.0f, 0.7f, 0.0f, 90.25},
};

INSTANTIATE_TEST_SUITE_P(Coefficients, CoefficientTest, ::testing::ValuesIn(kCoefficientCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BodyContactTest, BoundingSpheresJustTouchingAreRejected)
{
    // The balls overlap deeply; only the bounding radii decide.
    for (const float gap : {1.0f, 0.999f})
    {
        auto a = Ball(30.0f, 1.0f, {gap, 0.0f, 0.0f});
        auto b = Ball(30.0f, 1.0f, kOrigin);
        a->boundingRadius = 0.5f;
        b->boundingRadius = 0.5f;
        ClearAccumulators(*a);
        ClearAccumulators(*b);
        CollideBodies(*a, *b);
        EXPECT_EQ(a->contactCount, gap == 1.0f ? 0u : 1u) << gap;
        EXPECT_EQ(a->force == kZeroVector, gap == 1.0f) << gap;
    }
}

TEST_F(BodyContactTest, ShapesExactlyTouchingAddNothing)
{
    auto a = Ball(30.0f, 1.0f, {2.0f, 0.0f, 0.0f});
    auto b = Ball(30.0f, 1.0f, kOrigin);
    a->boundingRadius = 5.0f;
    a->linearVelocity = CVector(-3.0f, 1.0f, 0.0f);
    ClearAccumulators(*a);
    ClearAccumulators(*b);
    CollideBodies(*a, *b);
    EXPECT_EQ(a->force, kZeroVector);
    EXPECT_EQ(b->force, kZeroVector);
    EXPECT_EQ(a->contactCount + b->contactCount, 0u);
}

// Two spheres a body, each touching both of the other body's: four contacts,
// unless a shape is not collidable.
TEST_F(BodyContactTest, EveryTouchingShapePairIsOneContact)
{
    for (const bool allCollidable : {true, false})
    {
        std::unique_ptr<CInertialBody> bodies[2];
        for (int i = 0; i < 2; ++i)
        {
            bodies[i] = std::make_unique<CInertialBody>(nullptr);
            for (const float y : {-1.0f, 1.0f})
            {
                auto* sphere = new CSphere(bodies[i].get(), 2.0f, 15.0f);
                sphere->matrix.SetTranslation(0.0f, y, 0.0f);
                bodies[i]->AddShape(sphere);
            }
            bodies[i]->Prepare();
            ClearAccumulators(*bodies[i]);
        }
        bodies[1]->matrix.SetTranslation(2.5f, 0.0f, 0.0f);
        bodies[0]->shapes[1]->collidable = allCollidable ? 1 : 0;
        CollideBodies(*bodies[0], *bodies[1]);
        const uint32_t expected = allCollidable ? 4u : 2u;
        EXPECT_EQ(bodies[0]->contactCount, expected);
        EXPECT_EQ(bodies[1]->contactCount, expected);
        EXPECT_EQ(bodies[0]->force + bodies[1]->force, kZeroVector);
    }
}

// A sphere against a cylinder is answered bit for bit mirrored when the
// arguments change places, so the forces on both bodies do not depend on
// which of them comes first.
TEST_F(BodyContactTest, ExchangingTheBodiesLeavesTheirForces)
{
    auto ball = Ball(30.0f, 2.0f, {1.0f, 2.5f, 0.7f});
    std::unique_ptr<CInertialBody> rod(CreateCylinderBody(nullptr, 20.0f, 1.0f, 4.0f));
    rod->matrix = FrameAlong(CVector(0.6f, 0.0f, 0.8f), CVector(0.0f, 0.5f, 0.0f));
    ball->linearVelocity = CVector(3.0f, -20.0f, 1.0f);
    ball->worldAngularVelocity = CVector(0.5f, 2.0f, -1.0f);
    rod->linearVelocity = CVector(-1.0f, 4.0f, 0.0f);
    rod->worldAngularVelocity = CVector(-3.0f, 0.0f, 1.5f);

    ClearAccumulators(*ball);
    ClearAccumulators(*rod);
    CollideBodies(*ball, *rod);
    ASSERT_EQ(ball->contactCount, 1u);
    const CVector ballForce = ball->force, ballTorque = ball->torque;
    const CVector rodForce = rod->force, rodTorque = rod->torque;

    ClearAccumulators(*ball);
    ClearAccumulators(*rod);
    CollideBodies(*rod, *ball);
    EXPECT_EQ(ball->force, ballForce);
    EXPECT_EQ(ball->torque, ballTorque);
    EXPECT_EQ(rod->force, rodForce);
    EXPECT_EQ(rod->torque, rodTorque);
}

// Two balls in free space, one rolling into the other head on: the struck
// ball leaves faster than the striker, and the total momentum changes only by
// the bodies' own velocity damping of 1 - h/30 per step.
TEST_F(BodyContactTest, HeadOnStrikePassesMomentumOn)
{
    const float h = 0.002f;
    auto striker = Ball(30.0f, 3.5f, {-10.0f, 0.0f, 0.0f});
    auto struck = Ball(30.0f, 3.5f, kOrigin);
    striker->linearVelocity = CVector(100.0f, 0.0f, 0.0f);
    float momentum = 30.0f * 100.0f;
    int contactSteps = 0;
    for (int step = 0; step < 200; ++step)
    {
        ClearAccumulators(*striker);
        ClearAccumulators(*struck);
        CollideBodies(*striker, *struck);
        contactSteps += striker->contactCount;
        striker->Integrate(h);
        struck->Integrate(h);
        momentum *= 1.0f - h / 30.0f;
    }
    EXPECT_GT(contactSteps, 3);
    const float total =
        striker->mass * striker->linearVelocity.x + struck->mass * struck->linearVelocity.x;
    EXPECT_NEAR(total, momentum, 1e-5f * momentum);
    EXPECT_GT(struck->linearVelocity.x, 50.0f);
    EXPECT_LT(striker->linearVelocity.x, struck->linearVelocity.x);
    EXPECT_GE(striker->linearVelocity.x, 0.0f);
    // Central: nothing across the line of centres, no spin.
    EXPECT_EQ(struck->linearVelocity.y, 0.0f);
    EXPECT_EQ(struck->linearVelocity.z, 0.0f);
    EXPECT_EQ(struck->angularVelocity, kZeroVector);
    EXPECT_GT(struck->Position().x - striker->Position().x, 7.0f);
}

// The world's step: the pusher, moved by its velocity alone, runs into a ball
// resting on the floor and drives it along its own direction of motion.
TEST_F(BodyContactTest, PusherShovesRestingBallAlongItsMotion)
{
    CWorld world;
    const CVector rest(0.0f, 0.0f, 3.5f - 0.0125f);
    world.bodies.emplace_back(CreateSphereBody(&world, 30.0f, 3.5f));
    world.bodies.back()->matrix.SetTranslation(rest);
    world.bodies.back()->matrix.InvertAffine(world.bodies.back()->inverse);
    CInertialBody& ball = *world.bodies.back();

    const CVector direction(0.8f, 0.6f, 0.0f);
    world.pusher.reset(CreateSphereBody(&world, 10.0f, 2.0f));
    world.pusher->restitution = -1.0f;
    world.pusher->friction = 0.8f;
    world.pusher->matrix.SetTranslation(rest - 8.0f * direction);
    world.pusher->SetVelocity(40.0f * direction);

    for (int step = 0; step < 500; ++step)
    {
        world.Step(kSimulationStep);
    }
    const CVector moved = ball.Position() - rest;
    const float along = Dot(moved, direction);
    const CVector across = moved - along * direction;
    // In the second the pusher came 40 from 8 behind the ball's centre; the
    // ball is still ahead of it, driven the whole way.
    EXPECT_GT(along, 30.0f);
    EXPECT_LT(FastSqrt(across.x * across.x + across.y * across.y), 0.01f * along);
    EXPECT_GT(Dot(ball.Position() - world.pusher->Position(), direction), 0.0f);
    // It stays on the floor.
    EXPECT_NEAR(ball.Position().z, rest.z, 0.1f);
}

} // namespace
