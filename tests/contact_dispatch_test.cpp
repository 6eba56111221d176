// ShapeContact's choice among the nine tests on the exact run-time types of
// both shapes, and its refusal of any other type.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ContactShapes.h"
#include "dynamics/Constants.h"
#include "shapes/ShapeContact.h"

namespace
{

constexpr CVector kUnwritten{777.0f, 777.0f, 777.0f};

class DispatchTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureSqrtTable(); }
};

using TypedTest = std::function<float(const CShape&, const CShape&, CVector&, CVector&)>;

template <class A, class B> TypedTest Typed(float (*test)(const A&, const B&, CVector&, CVector&))
{
    return [test](const CShape& a, const CShape& b, CVector& point, CVector& normal)
    { return test(static_cast<const A&>(a), static_cast<const B&>(b), point, normal); };
}

struct Cell
{
    EKind a;
    EKind b;
    TypedTest test;
};

ShapeSize SpecOf(EKind kind)
{
    switch (kind)
    {
    case EKind::kSphere:
        return {kind, 1.5f, 0.0f};
    case EKind::kCylinder:
        return {kind, 1.0f, 3.0f};
    case EKind::kTorus:
        return {kind, 1.0f, 3.0f};
    }
    return {};
}

// Every cell of the table reaches its own test with the arguments in order:
// the answers agree bit for bit on poses near enough to touch.
TEST_F(DispatchTest, EveryTypePairReachesItsTest)
{
    const Cell cells[] = {
        {EKind::kSphere, EKind::kSphere, Typed(SphereSphereContact)},
        {EKind::kSphere, EKind::kCylinder, Typed(SphereCylinderContact)},
        {EKind::kSphere, EKind::kTorus, Typed(SphereTorusContact)},
        {EKind::kCylinder, EKind::kSphere, Typed(CylinderSphereContact)},
        {EKind::kCylinder, EKind::kCylinder, Typed(CylinderCylinderContact)},
        {EKind::kCylinder, EKind::kTorus, Typed(CylinderTorusContact)},
        {EKind::kTorus, EKind::kSphere, Typed(TorusSphereContact)},
        {EKind::kTorus, EKind::kCylinder, Typed(TorusCylinderContact)},
        {EKind::kTorus, EKind::kTorus, Typed(TorusTorusContact)},
    };
    SeedRandom(77u);
    for (const Cell& cell : cells)
    {
        int contacts = 0;
        for (int pose = 0; pose < 50; ++pose)
        {
            CMatrix4 poseA = RandomRotation();
            CMatrix4 poseB = RandomRotation();
            poseB.SetTranslation(RandomPoint(3.0f));
            const PlacedShape a = Place(SpecOf(cell.a), poseA);
            const PlacedShape b = Place(SpecOf(cell.b), poseB);
            CVector point = kUnwritten, normal = kUnwritten;
            CVector expectedPoint = kUnwritten, expectedNormal = kUnwritten;
            const float s = ShapeContact(*a, *b, point, normal);
            const float expected = cell.test(*a, *b, expectedPoint, expectedNormal);
            ASSERT_EQ(s, expected) << int(cell.a) << int(cell.b) << " pose " << pose;
            ASSERT_EQ(point, expectedPoint);
            ASSERT_EQ(normal, expectedNormal);
            contacts += s <= 0.0f ? 1 : 0;
        }
        EXPECT_GT(contacts, 5) << int(cell.a) << int(cell.b);
    }
}

// Derived from a sphere but not a sphere: the tests know nothing of its
// geometry, so the dispatch must not take it for one.
class CMarkedSphere : public CSphere
{
public:
    using CSphere::CSphere;
};

TEST_F(DispatchTest, ShapeOfAnotherTypeIsNotTested)
{
    CInertialBody body(nullptr);
    const CMarkedSphere marked(&body, 2.0f, 1.0f);
    for (const EKind kind : {EKind::kSphere, EKind::kCylinder, EKind::kTorus})
    {
        // Concentric with the other shape: any test would report an overlap.
        const PlacedShape other = Place(SpecOf(kind), CMatrix4());
        CVector point = kUnwritten, normal = kUnwritten;
        EXPECT_EQ(ShapeContact(marked, *other, point, normal), kInfinity);
        EXPECT_EQ(ShapeContact(*other, marked, point, normal), kInfinity);
        EXPECT_EQ(point, kUnwritten);
        EXPECT_EQ(normal, kUnwritten);
    }
    CVector point = kUnwritten, normal = kUnwritten;
    EXPECT_EQ(ShapeContact(marked, marked, point, normal), kInfinity);
    EXPECT_EQ(point, kUnwritten);
}

// Exactly parallel (or antiparallel) axes have no unique pair of closest line
// points: never tested, whatever the distance, overlapping included.
TEST_F(DispatchTest, ParallelCylindersAreNotTested)
{
    SeedRandom(5u);
    const ShapeSize rod{EKind::kCylinder, 1.0f, 4.0f};
    for (int pose = 0; pose < 200; ++pose)
    {
        CMatrix4 poseA = RandomRotation();
        CMatrix4 poseB = poseA;
        if (pose % 2 == 1)
        {
            poseB.SetColumn(0, -poseA.Column(0));
            poseB.SetColumn(2, -poseA.Column(2));
        }
        poseB.SetTranslation(RandomPoint(pose < 100 ? 1.0f : 20.0f));
        const PlacedShape a = Place(rod, poseA);
        const PlacedShape b = Place(rod, poseB);
        CVector point = kUnwritten, normal = kUnwritten;
        ASSERT_EQ(ShapeContact(*a, *b, point, normal), kInfinity) << pose;
        ASSERT_EQ(point, kUnwritten);
        ASSERT_EQ(normal, kUnwritten);
    }
    // Turned by a hundredth of a radian, the overlapping pair collides.
    const float c = std::cos(0.01f), s = std::sin(0.01f);
    CMatrix4 turned = FrameAlong(CVector(0.0f, -s, c), CVector(0.0f, 1.0f, 0.0f));
    const PlacedShape a = Place(rod, CMatrix4());
    const PlacedShape b = Place(rod, turned);
    CVector point, normal;
    EXPECT_LT(ShapeContact(*a, *b, point, normal), 0.0f);
}

} // namespace
