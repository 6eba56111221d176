// Picking bodies with a ray from the viewer: where the ray first meets each
// kind of shape (head on, past the rim or the end, through a ring's hole,
// from inside), and which body of a world it meets first.

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <memory>
#include <optional>

#include "dynamics/Body.h"
#include "shapes/RayHit.h"
#include "shapes/Shape.h"
#include "tests/ContactShapes.h"
#include "tests/support/HeadlessGLTest.h"
#include "world/BodyPick.h"
#include "world/World.h"

namespace
{
struct SRayCase
{
    const char* name;
    ShapeSize shape;
    CVector axis; // the shape's symmetry axis, centred at the origin
    CVector origin;
    CVector direction;
    std::optional<double> distance; // none: a miss
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SRayCase& c, std::ostream* out)
{
    *out << c.name;
}

class RayHitTest : public ::testing::TestWithParam<SRayCase>
{
};

TEST_P(RayHitTest, FirstPointOfTheSurface)
{
    const SRayCase& c = GetParam();
    EnsureSqrtTable();
    CInertialBody body(nullptr);
    body.matrix = FrameAlong(c.axis, CVector(0.0f, 0.0f, 0.0f));
    CShape* shape = NewShape(c.shape, &body);
    body.AddShape(shape);

    const std::optional<double> hit = RayHitShape(*shape, SRay{c.origin, c.direction});

    if (!c.distance)
    {
        EXPECT_FALSE(hit.has_value()) << "hit at " << *hit;
        return;
    }
    ASSERT_TRUE(hit.has_value());
    EXPECT_NEAR(*hit, *c.distance, 1e-4);
}

const CVector kX(1.0f, 0.0f, 0.0f);
const CVector kY(0.0f, 1.0f, 0.0f);
const CVector kZ(0.0f, 0.0f, 1.0f);
constexpr ShapeSize kBall{EKind::kSphere, 3.0f, 0.0f};
constexpr ShapeSize kLog{EKind::kCylinder, 2.0f, 5.0f};
constexpr ShapeSize kRing{EKind::kTorus, 1.0f, 5.0f};

INSTANTIATE_TEST_SUITE_P(
    Shapes, RayHitTest,
    ::testing::Values(
        SRayCase{"SphereHeadOn", kBall, kZ, CVector(-10, 0, 0), kX, 7.0},
        SRayCase{"SphereMissesBeside", kBall, kZ, CVector(-10, 3.01f, 0), kX, std::nullopt},
        SRayCase{"SphereBehindTheStart", kBall, kZ, CVector(10, 0, 0), kX, std::nullopt},
        SRayCase{"SphereFromInside", kBall, kZ, CVector(0, 0, 1), kX, 0.0},
        SRayCase{"CylinderSide", kLog, kZ, CVector(-10, 0, 3), kX, 8.0},
        SRayCase{"CylinderCap", kLog, kZ, CVector(0, 1, 20), -kZ, 15.0},
        SRayCase{"CylinderPastItsEnd", kLog, kZ, CVector(-10, 0, 5.01f), kX, std::nullopt},
        SRayCase{"CylinderPastItsRim", kLog, kZ, CVector(2.01f, 0, 20), -kZ, std::nullopt},
        SRayCase{"CylinderLyingAlongX", kLog, kX, CVector(4, 0, 10), -kZ, 8.0},
        SRayCase{"CylinderFromInside", kLog, kZ, CVector(0, 0, 4), kY, 0.0},
        SRayCase{"TorusTube", kRing, kZ, CVector(5, 0, 10), -kZ, 9.0},
        SRayCase{"TorusThroughItsHole", kRing, kZ, CVector(0, 0, 10), -kZ, std::nullopt},
        SRayCase{"TorusEdgeOn", kRing, kZ, CVector(-20, 0, 0), kX, 14.0},
        SRayCase{"TorusGrazedAbove", kRing, kZ, CVector(-20, 0, 1.01f), kX, std::nullopt},
        SRayCase{"TorusStandingUp", kRing, kY, CVector(0, 5, 10), -kZ, std::nullopt},
        // Down at x = 5 onto a ring standing in the xz plane: the tube is met where
        // sqrt(25 + z * z) = 6.
        SRayCase{"TorusStandingUpTube", kRing, kY, CVector(5, 0, 10), -kZ, 10.0 - std::sqrt(11.0)},
        SRayCase{"TorusFromInsideItsTube", kRing, kZ, CVector(5, 0, 0.5f), kX, 0.0}),
    [](const ::testing::TestParamInfo<SRayCase>& info) { return info.param.name; });

class BodyPickTest : public CPlatformTest
{
protected:
    CInertialBody& AddSphere(CWorld& world, const CVector& at, float radius)
    {
        world.bodies.emplace_back(CreateSphereBody(&world, 1.0f, radius));
        CInertialBody& body = *world.bodies.back();
        body.matrix.SetTranslation(at);
        body.matrix.InvertAffine(body.inverse);
        return body;
    }
};

TEST_F(BodyPickTest, NearestBodyAlongTheRayWinsAndThePusherIsPassedOver)
{
    CWorld world;
    AddSphere(world, CVector(30, 0, 5), 3.0f);
    AddSphere(world, CVector(10, 0, 5), 2.0f);
    AddSphere(world, CVector(20, 8, 5), 3.0f); // off the ray
    world.pusher.reset(CreateSphereBody(&world, 1.0f, 2.0f));
    world.pusher->matrix.SetTranslation(CVector(4, 0, 5));

    const std::optional<SBodyPick> pick = PickBody(world, SRay{CVector(0, 0, 5), kX});

    ASSERT_TRUE(pick.has_value());
    EXPECT_EQ(pick->index, 1);
    EXPECT_NEAR(pick->distance, 8.0, 1e-4);
    EXPECT_NEAR(pick->localPoint.x, -2.0f, 1e-4f);
    EXPECT_NEAR(pick->localPoint.y, 0.0f, 1e-4f);
    EXPECT_FALSE(PickBody(world, SRay{CVector(0, 0, 5), -kX}).has_value());
}

TEST_F(BodyPickTest, EveryBodyOfAFullSceneCanBePicked)
{
    CWorld world;
    world.sceneIndex = 9; // the dominoes: many long, thin bodies
    world.Initialize();
    for (int i = 0; i < world.BodyCount(); ++i)
    {
        const CVector centre = world.Body(i)->Position();
        // Straight down onto the body from above everything else.
        const std::optional<SBodyPick> pick =
            PickBody(world, SRay{CVector(centre.x, centre.y, 500.0f), -kZ});
        ASSERT_TRUE(pick.has_value()) << "body " << i;
        EXPECT_EQ(pick->index, i);
    }
}
} // namespace
