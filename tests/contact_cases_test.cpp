// The shape-pair tests on poses whose answers are known in closed form: the
// separation, the world contact point and the normal from b towards a, and
// whether the outputs are written at all.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "ContactShapes.h"
#include "dynamics/Constants.h"
#include "shapes/ShapeContact.h"

namespace
{

constexpr CVector kUnwritten{777.0f, 777.0f, 777.0f};
// Torus centre of the torus cases, away from the origin so that a point
// measured from the wrong centre shows.
constexpr CVector kO{10.0f, -4.0f, 2.0f};

ShapeSize Sphere(float r)
{
    return {EKind::kSphere, r, 0.0f};
}
ShapeSize Cylinder(float r, float h)
{
    return {EKind::kCylinder, r, h};
}
ShapeSize Torus(float tube, float ring)
{
    return {EKind::kTorus, tube, ring};
}

struct PairCase
{
    std::string name;
    ShapeSize a;
    CVector centreA;
    CVector axisA;
    ShapeSize b;
    CVector centreB;
    CVector axisB;
    float separation;
    // kUnwritten when the test must leave both outputs alone.
    CVector point;
    CVector normal;
    // 0: bit-exact answers expected.
    float tolerance;
};

void PrintTo(const PairCase& c, std::ostream* os)
{
    *os << c.name;
}

class PairCaseTest : public ::testing::TestWithParam<PairCase>
{
protected:
    static void SetUpTestSuite() { EnsureSqrtTable(); }
};

void ExpectVector(const CVector& actual, const CVector& expected, float tolerance, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

TEST_P(PairCaseTest, SeparationPointAndNormal)
{
    const PairCase& c = GetParam();
    const PlacedShape a = Place(c.a, c.centreA, c.axisA);
    const PlacedShape b = Place(c.b, c.centreB, c.axisB);
    CVector point = kUnwritten;
    CVector normal = kUnwritten;
    const float s = ShapeContact(*a, *b, point, normal);
    if (c.separation == kInfinity)
    {
        EXPECT_EQ(s, kInfinity);
    }
    else
    {
        EXPECT_NEAR(s, c.separation, c.tolerance);
    }
    if (c.point == kUnwritten)
    {
        EXPECT_EQ(point, kUnwritten);
        EXPECT_EQ(normal, kUnwritten);
    }
    else
    {
        ExpectVector(point, c.point, c.tolerance, "point");
        ExpectVector(normal, c.normal, c.tolerance, "normal");
    }
}

constexpr CVector kX = kAxisX;
constexpr CVector kY = kAxisY;
constexpr CVector kZ = kAxisZ;
constexpr CVector k0 = kZeroVector;

// The rim case: both separations come from FastSqrt of the same square, so
// they tie exactly and the axial normal wins; the values carry FastSqrt's error.
const float kRimSeparation = 1.9f - 1.0f - 1.0f;

const PairCase kPairCases[] = {
    // Spheres.
    {"SpheresTouchingMeetMidway",
     Sphere(1),
     {2, 0, 0},
     kZ,
     Sphere(1),
     k0,
     kZ,
     0.0f,
     {1, 0, 0},
     kX,
     0.0f},
    {"SmallerSphereAsA",
     Sphere(1),
     k0,
     kZ,
     Sphere(3),
     {3.5f, 0, 0},
     kZ,
     -0.5f,
     {0.875f, 0, 0},
     -kX,
     0.0f},
    {"SmallerSphereAsB",
     Sphere(3),
     {3.5f, 0, 0},
     kZ,
     Sphere(1),
     k0,
     kZ,
     -0.5f,
     {0.875f, 0, 0},
     kX,
     0.0f},
    {"ConcentricSpheresHaveNoNormal",
     Sphere(1),
     {1, 2, 3},
     kZ,
     Sphere(2),
     {1, 2, 3},
     kZ,
     -3.0f,
     {1, 2, 3},
     k0,
     0.0f},
    {"SpheresApartWriteNothing",
     Sphere(1),
     {5, 0, 0},
     kZ,
     Sphere(1),
     k0,
     kZ,
     3.0f,
     kUnwritten,
     kUnwritten,
     0.0f},
    // Sphere and cylinder.
    {"SphereRestingOnFlatFace",
     Sphere(1),
     {0, 0, 2},
     kZ,
     Cylinder(2, 1),
     k0,
     kZ,
     0.0f,
     {0, 0, 1},
     kZ,
     0.0f},
    {"CylinderUnderRestingSphere",
     Cylinder(2, 1),
     k0,
     kZ,
     Sphere(1),
     {0, 0, 2},
     kZ,
     0.0f,
     {0, 0, 1},
     -kZ,
     0.0f},
    {"RimEdgeCountsAsSlabTieGoesAxial",
     Sphere(1),
     {1.9f, 0, 1.9f},
     kZ,
     Cylinder(1, 1),
     k0,
     kZ,
     kRimSeparation,
     {1.9f, 0, 0.9f},
     kZ,
     1e-5f},
    {"RimEdgeReversed",
     Cylinder(1, 1),
     k0,
     kZ,
     Sphere(1),
     {1.9f, 0, 1.9f},
     kZ,
     kRimSeparation,
     {1.9f, 0, 0.9f},
     -kZ,
     1e-5f},
    {"SphereAtCentreOfLongCylinderRadialWithoutNormal", Sphere(1), k0, kZ, Cylinder(1, 5), k0, kZ,
     -2.0f, k0, k0, 0.0f},
    {"SphereApartRadially",
     Sphere(1),
     {3, 0, 0},
     kZ,
     Cylinder(1, 1),
     k0,
     kZ,
     1.0f,
     kUnwritten,
     kUnwritten,
     0.0f},
    {"SphereApartAxially",
     Sphere(1),
     {0, 0, 4},
     kZ,
     Cylinder(1, 1),
     k0,
     kZ,
     2.0f,
     kUnwritten,
     kUnwritten,
     0.0f},
    {"CylinderApartFromSphereAxially",
     Cylinder(1, 1),
     k0,
     kZ,
     Sphere(1),
     {0, 0, -4},
     kZ,
     2.0f,
     kUnwritten,
     kUnwritten,
     0.0f},
    // Sphere and torus.
    {"SphereRestingOnTube", Sphere(2), kO + CVector(5, 0, 3), kZ, Torus(1, 5), kO, kZ, 0.0f,
     kO + CVector(5, 0, 1), kZ, 0.0f},
    {"TubeUnderRestingSphere", Torus(1, 5), kO, kZ, Sphere(2), kO + CVector(5, 0, 3), kZ, 0.0f,
     kO + CVector(5, 0, 1), -kZ, 0.0f},
    {"SphereInHoleMeasuredFromCentre", Sphere(1), kO, kZ, Torus(1, 5), kO, kZ, -2.0f, kO, k0, 0.0f},
    {"SphereApartFromTorusWritesNothing", Sphere(1), kO + CVector(5, 0, 4), kZ, Torus(1, 5), kO, kZ,
     2.0f, kUnwritten, kUnwritten, 0.0f},
    {"TorusApartFromSphereWritesNothing", Torus(1, 5), kO, kZ, Sphere(1), kO + CVector(5, 0, 4), kZ,
     2.0f, kUnwritten, kUnwritten, 0.0f},
    // Cylinder and cylinder.
    {"CrossedRodsTouching",
     Cylinder(1, 5),
     k0,
     kX,
     Cylinder(1, 5),
     {0, 0, 2},
     kY,
     0.0f,
     {0, 0, 1},
     -kZ,
     0.0f},
    {"CrossedRodsOverlapping",
     Cylinder(1, 5),
     k0,
     kX,
     Cylinder(1, 5),
     {0, 0, 1.5f},
     kY,
     -0.5f,
     {0, 0, 0.75f},
     -kZ,
     0.0f},
    {"CrossedRodsApartStillWriteOutputs",
     Cylinder(1, 5),
     k0,
     kX,
     Cylinder(1, 5),
     {0, 0, 5},
     kY,
     3.0f,
     {0, 0, 2.5f},
     -kZ,
     0.0f},
    {"TJunctionClampsEndThenProjects",
     Cylinder(1, 5),
     {-5.5f, 0, 0},
     kX,
     Cylinder(1, 5),
     k0,
     kY,
     -0.5f,
     {-0.75f, 0, 0},
     -kX,
     0.0f},
    {"FlatCylinderReachesRadiusBeyondItsFace",
     Cylinder(2, 0.5f),
     k0,
     kZ,
     Cylinder(0.5f, 2),
     {0, 0, 3},
     kX,
     0.0f,
     {0, 0, 2.5f},
     -kZ,
     0.0f},
    {"LongCylinderReachesItsEndFace",
     Cylinder(0.5f, 2),
     k0,
     kZ,
     Cylinder(1, 2),
     {0, 0, 3},
     kX,
     0.0f,
     {0, 0, 2},
     -kZ,
     0.0f},
    {"ParameterAtCoreEndIsNotMoved",
     Cylinder(1, 5),
     k0,
     kX,
     Cylinder(1, 5),
     {4, 0, 1.5f},
     kY,
     -0.5f,
     {4, 0, 0.75f},
     -kZ,
     0.0f},
    {"BothClampedGoToCoreEnds",
     Cylinder(1, 5),
     {-10, 0, 0},
     kX,
     Cylinder(1, 5),
     {10, 10, 0},
     kY,
     15.0880075f,
     {2, 3, 0},
     {-0.93632918f, -0.35112344f, 0},
     1e-4f},
    // Cylinder and torus; a cylinder as long as it is wide has one sample.
    {"SquareCylinderOnRingSampledOnce",
     Cylinder(1, 1),
     {5, 0, 0.5f},
     kZ,
     Torus(1, 5),
     k0,
     kZ,
     -1.5f,
     {5, 0, 0.25f},
     kZ,
     0.0f},
    {"RingUnderSquareCylinder",
     Torus(1, 5),
     k0,
     kZ,
     Cylinder(1, 1),
     {5, 0, 0.5f},
     kZ,
     -1.5f,
     {5, 0, 0.25f},
     -kZ,
     0.0f},
    {"DiskOverlappingTorusIsNotTested",
     Cylinder(2, 1),
     {5, 0, 0},
     kZ,
     Torus(1, 5),
     k0,
     kZ,
     kInfinity,
     kUnwritten,
     kUnwritten,
     0.0f},
    {"TorusOverlappingDiskIsNotTested",
     Torus(1, 5),
     k0,
     kZ,
     Cylinder(2, 1),
     {5, 0, 0},
     kZ,
     kInfinity,
     kUnwritten,
     kUnwritten,
     0.0f},
    {"RodApartFromTorusWritesNothing",
     Cylinder(0.5f, 3),
     {20, 0, 0},
     kZ,
     Torus(1, 5),
     k0,
     kZ,
     13.5f,
     kUnwritten,
     kUnwritten,
     1e-5f},
    // Torus and torus: two links of a chain, nearest at the first sample.
    {"InterlinkedRingsTouchWhereLinked",
     Torus(1.5f, 5),
     k0,
     kZ,
     Torus(1.5f, 5),
     {8, 0, 0},
     kY,
     -1.0f,
     {4, 0, 0},
     kX,
     1e-6f},
    {"RingsApartWriteNothing",
     Torus(1, 5),
     k0,
     kZ,
     Torus(1, 5),
     {30, 0, 0},
     kZ,
     18.0f,
     kUnwritten,
     kUnwritten,
     1e-5f},
};

INSTANTIATE_TEST_SUITE_P(Geometry, PairCaseTest, ::testing::ValuesIn(kPairCases),
                         [](const auto& info) { return info.param.name; });

} // namespace
