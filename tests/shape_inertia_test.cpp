// Shape moments, their offset terms about the body origin, bounding radii and
// the sphere's point distance.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"

namespace
{
enum class EKind
{
    kSphere,
    kCylinder,
    kTorus
};

// a and b are the two sizes in constructor order.
std::unique_ptr<CShape> MakeShape(EKind kind, float a, float b, float mass)
{
    switch (kind)
    {
    case EKind::kSphere:
        return std::make_unique<CSphere>(nullptr, a, mass);
    case EKind::kCylinder:
        return std::make_unique<CCylinder>(nullptr, a, b, mass);
    case EKind::kTorus:
        return std::make_unique<CTorus>(nullptr, a, b, mass);
    }
    return nullptr;
}

struct SMomentCase
{
    std::string name;
    EKind kind;
    float a, b, mass;
    CVector moments;
    float tolerance;
    float boundingRadius;
};

std::ostream& operator<<(std::ostream& out, const SMomentCase& c)
{
    return out << c.name;
}

const SMomentCase kMomentCases[] = {
    {"SphereRadius1Mass5", EKind::kSphere, 1.0f, 0.0f, 5.0f, {2.0f, 2.0f, 2.0f}, 0.0f, 1.0f},
    {"SphereRadius3_5Mass30",
     EKind::kSphere,
     3.5f,
     0.0f,
     30.0f,
     {147.0f, 147.0f, 147.0f},
     1e-4f,
     3.5f},
    // The across moment takes pi/3 for the half-length term, not 1/3.
    {"CylinderRadius1Half1Mass3",
     EKind::kCylinder,
     1.0f,
     1.0f,
     3.0f,
     {3.8915928f, 3.8915928f, 1.5f},
     1e-6f,
     2.0f},
    {"CylinderRadius2Half0_5Mass4",
     EKind::kCylinder,
     2.0f,
     0.5f,
     4.0f,
     {4.0f * (1.0471976f * 0.25f + 1.0f), 4.0f * (1.0471976f * 0.25f + 1.0f), 8.0f},
     1e-5f,
     2.5f},
    // Not the textbook 39.375 and 77.25.
    {"TorusTube1Ring5Mass3",
     EKind::kTorus,
     1.0f,
     5.0f,
     3.0f,
     {45.19f, 45.19f, 88.90f},
     0.01f,
     6.0f},
};

class ShapeMomentTest : public ::testing::TestWithParam<SMomentCase>
{
};

TEST_P(ShapeMomentTest, PrincipalMomentsAndBoundingRadius)
{
    const SMomentCase& c = GetParam();
    const auto shape = MakeShape(c.kind, c.a, c.b, c.mass);
    const CVector m = shape->PrincipalInertia();
    EXPECT_NEAR(m.x, c.moments.x, c.tolerance);
    EXPECT_NEAR(m.y, c.moments.y, c.tolerance);
    EXPECT_NEAR(m.z, c.moments.z, c.tolerance);
    EXPECT_EQ(shape->boundingRadius, c.boundingRadius);
    // An untouched shape sits at the body origin: no offset terms.
    EXPECT_EQ(shape->BodyInertia(), m);
}

INSTANTIATE_TEST_SUITE_P(Shapes, ShapeMomentTest, ::testing::ValuesIn(kMomentCases),
                         [](const auto& info) { return info.param.name; });

TEST(ShapeConstruction, BaseStartsUnboundedAndStoresFlags)
{
    CSphere visibleOnly(nullptr, 1.0f, 2.0f, true, false);
    EXPECT_EQ(visibleOnly.visible, 1);
    EXPECT_EQ(visibleOnly.collidable, 0);
    EXPECT_EQ(visibleOnly.mass, 2.0f);
    EXPECT_EQ(visibleOnly.matrix, kIdentity);
    EXPECT_EQ(visibleOnly.inverse, kIdentity);
    CTorus hidden(nullptr, 1.0f, 2.0f, 0.0f, false, true);
    EXPECT_EQ(hidden.visible, 0);
    EXPECT_EQ(hidden.collidable, 1);
}

struct SOffsetCase
{
    std::string name;
    CVector centre;
    // Added to (Ixx, Iyy, Izz) of a sphere of mass 2 (own moments 0.8 each).
    CVector added;
};

std::ostream& operator<<(std::ostream& out, const SOffsetCase& c)
{
    return out << c.name;
}

// The offset rules are partial on purpose; these cases pin them.
const SOffsetCase kOffsetCases[] = {
    {"AlongZ", {0.0f, 0.0f, 3.0f}, {18.0f, 18.0f, 0.0f}},
    {"AlongX", {3.0f, 0.0f, 0.0f}, {0.0f, 18.0f, 18.0f}},
    {"AlongYAddsNothing", {0.0f, 3.0f, 0.0f}, {0.0f, 0.0f, 0.0f}},
    {"XAndZAddBoth", {3.0f, 0.0f, 4.0f}, {32.0f, 50.0f, 18.0f}},
    {"XAndYAddOnlyTheXTerms", {3.0f, 3.0f, 0.0f}, {0.0f, 18.0f, 18.0f}},
    {"YAndZAddOnlyTheZTerms", {0.0f, 3.0f, 4.0f}, {32.0f, 32.0f, 0.0f}},
    {"AllThreeAddNothing", {1.0f, 2.0f, 3.0f}, {0.0f, 0.0f, 0.0f}},
    {"NegativeOffsetsCountLikePositive", {-3.0f, 0.0f, -3.0f}, {18.0f, 36.0f, 18.0f}},
};

class ShapeOffsetTest : public ::testing::TestWithParam<SOffsetCase>
{
};

TEST_P(ShapeOffsetTest, BodyInertiaAddsTheOffsetTerms)
{
    const SOffsetCase& c = GetParam();
    CSphere sphere(nullptr, 1.0f, 2.0f);
    sphere.matrix.SetTranslation(c.centre);
    const CVector own = sphere.PrincipalInertia();
    const CVector total = sphere.BodyInertia();
    EXPECT_FLOAT_EQ(total.x - own.x, c.added.x);
    EXPECT_FLOAT_EQ(total.y - own.y, c.added.y);
    EXPECT_FLOAT_EQ(total.z - own.z, c.added.z);
}

INSTANTIATE_TEST_SUITE_P(Offsets, ShapeOffsetTest, ::testing::ValuesIn(kOffsetCases),
                         [](const auto& info) { return info.param.name; });

TEST(ShapeOffset, MasslessShapeContributesNothing)
{
    const auto kinds = {EKind::kSphere, EKind::kCylinder, EKind::kTorus};
    for (const EKind kind : kinds)
    {
        const auto shape = MakeShape(kind, 1.0f, 2.0f, 0.0f);
        shape->matrix.SetTranslation(5.0f, 0.0f, 5.0f);
        EXPECT_EQ(shape->BodyInertia(), kZeroVector);
    }
}

TEST(ShapeOffset, LocalRotationIsIgnored)
{
    CCylinder upright(nullptr, 1.0f, 2.0f, 3.0f);
    CCylinder turned(nullptr, 1.0f, 2.0f, 3.0f);
    turned.matrix.SetColumn(0, {0.0f, 0.0f, -1.0f});
    turned.matrix.SetColumn(2, {1.0f, 0.0f, 0.0f});
    EXPECT_EQ(turned.BodyInertia(), upright.BodyInertia());
}

class SpherePointDistanceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }
};

TEST_F(SpherePointDistanceTest, DistanceNormalAndSurfacePointInWorldCoordinates)
{
    CInertialBody body(nullptr);
    auto* sphere = new CSphere(&body, 2.0f, 1.0f);
    sphere->matrix.SetTranslation(1.0f, 0.0f, 0.0f);
    body.AddShape(sphere);
    body.matrix.SetTranslation(0.0f, 0.0f, 10.0f); // world centre (1, 0, 10)

    const struct
    {
        CVector point;
        float distance;
        CVector normal;
        CVector surface;
    } cases[] = {
        {{1.0f, 0.0f, 15.0f}, 3.0f, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 12.0f}},
        {{1.0f, -1.0f, 10.0f}, -1.0f, {0.0f, -1.0f, 0.0f}, {1.0f, -2.0f, 10.0f}},
        {{4.0f, 4.0f, 10.0f}, 3.0f, {0.6f, 0.8f, 0.0f}, {2.2f, 1.6f, 10.0f}},
        // At the centre: -r, no direction, the centre itself.
        {{1.0f, 0.0f, 10.0f}, -2.0f, {0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 10.0f}},
    };
    for (const auto& c : cases)
    {
        CVector surface, normal;
        EXPECT_FLOAT_EQ(sphere->PointDistance(c.point, surface, normal), c.distance);
        EXPECT_FLOAT_EQ(normal.x, c.normal.x);
        EXPECT_FLOAT_EQ(normal.y, c.normal.y);
        EXPECT_FLOAT_EQ(normal.z, c.normal.z);
        EXPECT_FLOAT_EQ(surface.x, c.surface.x);
        EXPECT_FLOAT_EQ(surface.y, c.surface.y);
        EXPECT_FLOAT_EQ(surface.z, c.surface.z);
    }
}

TEST_F(SpherePointDistanceTest, CylinderAndTorusAreNotMeasuredAndWriteNothing)
{
    CInertialBody body(nullptr);
    body.AddShape(new CCylinder(&body, 1.0f, 2.0f, 1.0f));
    body.AddShape(new CTorus(&body, 1.0f, 2.0f, 1.0f));
    for (const auto& shape : body.shapes)
    {
        const CVector untouched(7.0f, 8.0f, 9.0f);
        CVector surface = untouched;
        CVector normal = untouched;
        EXPECT_EQ(shape->PointDistance({0.0f, 0.0f, 0.0f}, surface, normal), kInfinity);
        EXPECT_EQ(surface, untouched);
        EXPECT_EQ(normal, untouched);
    }
}
} // namespace
