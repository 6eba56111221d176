// The deepest point of each shape against a fixed plane, in the poses where the
// three shapes behave differently: rolling, tilted, standing, flat, on edge.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Plane.h"
#include "shapes/Shape.h"

namespace
{
const CPlane kFloor{{0.0f, 0.0f, 1.0f}, 0.0f};
const CPlane kWallXPlus40{{-1.0f, 0.0f, 0.0f}, 40.0f};

// Local axes of a shape whose symmetry axis is a (unit) and whose x axis is x.
void SetShapeAxes(CShape& shape, const CVector& x, const CVector& a)
{
    shape.matrix.SetColumn(0, x);
    shape.matrix.SetColumn(1, Cross(a, x));
    shape.matrix.SetColumn(2, a);
}

struct SPlaneCase
{
    std::string name;
    // Builds the body (not prepared: only the placement matters) and its shape.
    std::function<void(CInertialBody&)> build;
    CPlane plane;
    CVector point;
    float distance;
    float lever;
};

std::ostream& operator<<(std::ostream& out, const SPlaneCase& c)
{
    return out << c.name;
}

const float kTilt = 0.05f;
const float kCosTilt = std::cos(kTilt);
const float kSinTilt = std::sin(kTilt);

const SPlaneCase kCases[] = {
    {"SphereAboveFloor",
     [](CInertialBody& b)
     {
         b.AddShape(new CSphere(&b, 2.0f, 1.0f));
         b.matrix.SetTranslation(0.0f, 0.0f, 5.0f);
     },
     kFloor,
     {0.0f, 0.0f, 3.0f},
     3.0f,
     2.0f},
    {"SphereIntoWall",
     [](CInertialBody& b)
     {
         b.AddShape(new CSphere(&b, 2.0f, 1.0f));
         b.matrix.SetTranslation(39.0f, 7.0f, 1.0f);
     },
     kWallXPlus40,
     {41.0f, 7.0f, 1.0f},
     -1.0f,
     2.0f},
    {"SphereOffsetInRotatedBody",
     [](CInertialBody& b)
     {
         auto* s = new CSphere(&b, 1.5f, 1.0f);
         s->matrix.SetTranslation(2.0f, 0.0f, 0.0f);
         b.AddShape(s);
         // Body turned 90 degrees about z: local x is world y.
         b.matrix.SetColumn(0, {0.0f, 1.0f, 0.0f});
         b.matrix.SetColumn(1, {-1.0f, 0.0f, 0.0f});
         b.matrix.SetTranslation(0.0f, 0.0f, 10.0f);
     },
     kFloor,
     {0.0f, 2.0f, 8.5f},
     8.5f,
     1.5f},
    {"CylinderLyingParallelRollsWithLeverH",
     [](CInertialBody& b)
     {
         auto* c = new CCylinder(&b, 1.0f, 3.0f, 1.0f);
         SetShapeAxes(*c, {0.0f, 0.0f, -1.0f}, {1.0f, 0.0f, 0.0f});
         b.AddShape(c);
         b.matrix.SetTranslation(0.0f, 0.0f, 0.5f);
     },
     kFloor,
     {0.0f, 0.0f, -0.5f},
     -0.5f,
     3.0f},
    {"CylinderTiltedReachesWithItsRim",
     [](CInertialBody& b)
     {
         auto* c = new CCylinder(&b, 1.0f, 3.0f, 1.0f);
         SetShapeAxes(*c, {-kSinTilt, 0.0f, kCosTilt}, {kCosTilt, 0.0f, kSinTilt});
         b.AddShape(c);
         b.matrix.SetTranslation(0.0f, 0.0f, 1.0f);
     },
     kFloor,
     {-3.0f * kCosTilt + kSinTilt, 0.0f, 1.0f - 3.0f * kSinTilt - kCosTilt},
     1.0f - 3.0f * kSinTilt - kCosTilt,
     1.0f},
    {"CylinderTiltedAxisPointingDownGivesTheSameRim",
     [](CInertialBody& b)
     {
         auto* c = new CCylinder(&b, 1.0f, 3.0f, 1.0f);
         SetShapeAxes(*c, {kSinTilt, 0.0f, -kCosTilt}, {-kCosTilt, 0.0f, -kSinTilt});
         b.AddShape(c);
         b.matrix.SetTranslation(0.0f, 0.0f, 1.0f);
     },
     kFloor,
     {-3.0f * kCosTilt + kSinTilt, 0.0f, 1.0f - 3.0f * kSinTilt - kCosTilt},
     1.0f - 3.0f * kSinTilt - kCosTilt,
     1.0f},
    {"CylinderStandingOnEndReportsLowerFaceCentre",
     [](CInertialBody& b)
     {
         b.AddShape(new CCylinder(&b, 1.0f, 3.0f, 1.0f));
         b.matrix.SetTranslation(4.0f, -2.0f, 5.0f);
     },
     kFloor,
     {4.0f, -2.0f, 2.0f},
     2.0f,
     1.0f},
    {"CylinderUpsideDownReportsLowerFaceCentre",
     [](CInertialBody& b)
     {
         auto* c = new CCylinder(&b, 1.0f, 3.0f, 1.0f);
         SetShapeAxes(*c, {1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
         b.AddShape(c);
         b.matrix.SetTranslation(0.0f, 0.0f, 2.5f);
     },
     kFloor,
     {0.0f, 0.0f, -0.5f},
     -0.5f,
     1.0f},
    {"TorusLyingFlatReportsPointBelowCentre",
     [](CInertialBody& b)
     {
         b.AddShape(new CTorus(&b, 1.0f, 5.0f, 1.0f));
         b.matrix.SetTranslation(3.0f, 3.0f, 3.0f);
     },
     kFloor,
     {3.0f, 3.0f, 2.0f},
     2.0f,
     3.0f},
    {"TorusOnEdgeReportsPointRingPlusTubeBelow",
     [](CInertialBody& b)
     {
         auto* t = new CTorus(&b, 1.0f, 5.0f, 1.0f);
         SetShapeAxes(*t, {0.0f, 0.0f, -1.0f}, {1.0f, 0.0f, 0.0f});
         b.AddShape(t);
         b.matrix.SetTranslation(0.0f, 0.0f, 10.0f);
     },
     kFloor,
     {0.0f, 0.0f, 4.0f},
     4.0f,
     3.0f},
};

class ShapePlaneContactTest : public ::testing::TestWithParam<SPlaneCase>
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }
};

TEST_P(ShapePlaneContactTest, DeepestPointDistanceAndLever)
{
    const SPlaneCase& c = GetParam();
    CInertialBody body(nullptr);
    c.build(body);
    CVector point(99.0f, 99.0f, 99.0f);
    float lever = -1.0f;
    const float distance = body.shapes.front()->PlaneContact(c.plane, point, lever);
    const float tolerance = 2e-5f;
    EXPECT_NEAR(distance, c.distance, tolerance);
    EXPECT_NEAR(point.x, c.point.x, tolerance);
    EXPECT_NEAR(point.y, c.point.y, tolerance);
    EXPECT_NEAR(point.z, c.point.z, tolerance);
    EXPECT_FLOAT_EQ(lever, c.lever);
    // Whatever the shape, the distance is that of the point it reports.
    EXPECT_FLOAT_EQ(distance, c.plane.Distance(point));
}

INSTANTIATE_TEST_SUITE_P(Poses, ShapePlaneContactTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

// Exact parallelism is a branch of its own; the slightest tilt leaves it.
TEST(CylinderPlaneContact, LeverSwitchesFromHalfLengthToRadiusAtTheSmallestTilt)
{
    BuildSqrtTable();
    CInertialBody body(nullptr);
    auto* cylinder = new CCylinder(&body, 1.0f, 3.0f, 1.0f);
    body.AddShape(cylinder);
    body.matrix.SetTranslation(0.0f, 0.0f, 0.5f);
    const float tilts[] = {0.0f, 1e-6f, -1e-6f};
    const float levers[] = {3.0f, 1.0f, 1.0f};
    for (int i = 0; i < 3; ++i)
    {
        SetShapeAxes(*cylinder, {0.0f, 0.0f, -1.0f}, {1.0f, 0.0f, tilts[i]});
        CVector point;
        float lever = 0.0f;
        cylinder->PlaneContact(kFloor, point, lever);
        EXPECT_EQ(lever, levers[i]) << "tilt " << tilts[i];
        EXPECT_NEAR(point.z, -0.5f, 1e-4f) << "tilt " << tilts[i];
    }
}
// A cylinder touching the floor along a line or across a face, as the Stable
// model holds it: tilted a hair either way, its point stays near the middle
// (the Classic point leaps from one end or rim to the opposite one); past
// the tolerance, where the ends or the rim differ in height by 0.06, it is
// the Classic point.
struct SFlatHoldCase
{
    std::string name;
    float radius;
    float halfLength;
    // The axis at rest, and the one the tilt turns it about.
    CVector axis;
    CVector tiltAbout;
    // The half-extent whose ends or rim rise with the tilt.
    float extent;
};

class FlatHoldTest : public ::testing::TestWithParam<SFlatHoldCase>
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }

    // Sunk 0.01 into the floor, tilted by the angle.
    struct SPose
    {
        CInertialBody body{nullptr};
        CCylinder* cylinder;

        SPose(const SFlatHoldCase& c, float angle)
        {
            cylinder = new CCylinder(&body, c.radius, c.halfLength, 1.0f);
            body.AddShape(cylinder);
            const CVector axis =
                std::cos(angle) * c.axis + std::sin(angle) * Cross(c.tiltAbout, c.axis);
            const float height = c.axis.z != 0.0f ? c.halfLength : c.radius;
            body.matrix.SetTranslation(0.0f, 0.0f, height - 0.01f);
            SetShapeAxes(*cylinder, c.tiltAbout, axis);
        }
    };
};

TEST_P(FlatHoldTest, PointMovesSmoothlyThroughLevel)
{
    const SFlatHoldCase& c = GetParam();
    const float angles[] = {-1e-4f, 0.0f, 1e-4f};
    CVector points[3];
    float depths[3] = {};
    for (int i = 0; i < 3; ++i)
    {
        SPose pose(c, angles[i]);
        float lever = 0.0f;
        depths[i] = pose.cylinder->StablePlaneContact(kFloor, points[i], lever);
        EXPECT_NEAR(depths[i], -0.01f, 2e-3f) << "tilt " << angles[i];
    }
    EXPECT_LT(FastSqrt((points[0] - points[2]).LengthSquared()), 0.1f * c.extent);
    EXPECT_LT(FastSqrt((points[0] - points[1]).LengthSquared()), 0.05f * c.extent);

    // The Classic point of the same two tilts lies at opposite ends.
    SPose low(c, -1e-4f);
    SPose high(c, 1e-4f);
    CVector classicLow;
    CVector classicHigh;
    float lever = 0.0f;
    low.cylinder->PlaneContact(kFloor, classicLow, lever);
    high.cylinder->PlaneContact(kFloor, classicHigh, lever);
    EXPECT_GT(FastSqrt((classicLow - classicHigh).LengthSquared()), 1.5f * c.extent);
}

TEST_P(FlatHoldTest, PointIsClassicPastTheTolerance)
{
    const SFlatHoldCase& c = GetParam();
    SPose pose(c, std::asin(0.06f / (2.0f * c.extent)));
    CVector stable;
    CVector classic;
    float stableLever = 0.0f;
    float classicLever = 0.0f;
    const float stableDepth = pose.cylinder->StablePlaneContact(kFloor, stable, stableLever);
    const float classicDepth = pose.cylinder->PlaneContact(kFloor, classic, classicLever);
    EXPECT_EQ(stableDepth, classicDepth);
    EXPECT_EQ(stable.x, classic.x);
    EXPECT_EQ(stable.y, classic.y);
    EXPECT_EQ(stable.z, classic.z);
    EXPECT_EQ(stableLever, classicLever);
}

const SFlatHoldCase kFlatHoldCases[] = {
    {"LyingLog", 2.0f, 9.0f, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 9.0f},
    {"StandingPost", 2.5f, 6.0f, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 2.5f},
};

INSTANTIATE_TEST_SUITE_P(Cylinders, FlatHoldTest, ::testing::ValuesIn(kFlatHoldCases),
                         [](const auto& info) { return info.param.name; });

// A disk lying flat keeps the Classic point: it slides as it always did.
TEST(CylinderPlaneContact, FlatDiskKeepsTheClassicPointUnderStable)
{
    BuildSqrtTable();
    CInertialBody body(nullptr);
    auto* disk = new CCylinder(&body, 12.0f, 1.0f, 1.0f);
    body.AddShape(disk);
    body.matrix.SetTranslation(0.0f, 0.0f, 0.99f);
    SetShapeAxes(*disk, {1.0f, 0.0f, 0.0f}, {0.0f, std::sin(1e-4f), std::cos(1e-4f)});
    CVector stable;
    CVector classic;
    float lever = 0.0f;
    EXPECT_EQ(disk->StablePlaneContact(kFloor, stable, lever),
              disk->PlaneContact(kFloor, classic, lever));
    EXPECT_EQ((stable - classic).LengthSquared(), 0.0f);
}
} // namespace
