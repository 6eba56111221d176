// The sampled torus tests: where the samples fall along a cylinder's core, and
// that the sampled minimum never undercuts the true separation of the shapes
// (measured in the test by dense sampling in double precision) beyond
// FastSqrt's precision, nor exceeds it by more than the sampling step allows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "ContactShapes.h"
#include "dynamics/Constants.h"
#include "shapes/ShapeContact.h"

namespace
{

class TorusContactTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureSqrtTable(); }
};

// The core positions of a cylinder, accumulated in single precision as the
// test takes them.
std::vector<float> CorePositions(float radius, float halfLength)
{
    const float core = halfLength - radius;
    const float step = core * 0.055555556f;
    std::vector<float> positions;
    for (float t = -core; t <= core; t = t + step)
    {
        positions.push_back(t);
    }
    return positions;
}

// A rod of radius 0.5 standing on the z axis at the origin. The ring it is
// measured against meets the axis at height c: either a flat torus centred at
// (0, 0, c), whose axis the rod lies along, or a flat torus centred at
// (5, 0, c), whose tube the rod crosses at a right angle. In both every sample
// (0, 0, t) is |t - c| from its nearest ring point (0, 0, c).
struct RodCase
{
    std::string name;
    float halfLength;
    bool alongAxis;
    float c;
    size_t positions;
};

void PrintTo(const RodCase& c, std::ostream* os)
{
    *os << c.name;
}

class RodSampleTest : public TorusContactTest, public ::testing::WithParamInterface<RodCase>
{
};

TEST_P(RodSampleTest, NearestSampleDecidesBitForBit)
{
    const RodCase& c = GetParam();
    const float rc = 0.5f;
    const float rt = 1.0f;
    const std::vector<float> positions = CorePositions(rc, c.halfLength);
    ASSERT_EQ(positions.size(), c.positions);

    float expected = kInfinity;
    float nearest = 0.0f;
    for (const float t : positions)
    {
        const float d = t - c.c;
        const float s = FastSqrt(d * d) - rc - rt;
        if (s < expected)
        {
            expected = s;
            nearest = t;
        }
    }

    const PlacedShape rod = Place({EKind::kCylinder, rc, c.halfLength}, kOrigin, kAxisZ);
    const CVector torusCentre(c.alongAxis ? 0.0f : 5.0f, 0.0f, c.c);
    const PlacedShape torus = Place({EKind::kTorus, rt, 5.0f}, torusCentre, kAxisZ);
    CVector point, normal;
    ASSERT_EQ(ShapeContact(*rod, *torus, point, normal), expected);
    EXPECT_EQ(point, CVector(0.0f, 0.0f, (rt * nearest + rc * c.c) / (rc + rt)));
    const float direction = nearest > c.c ? 1.0f : (nearest < c.c ? -1.0f : 0.0f);
    EXPECT_EQ(normal.x, 0.0f);
    EXPECT_EQ(normal.y, 0.0f);
    EXPECT_NEAR(normal.z, direction, 2e-5f);
}

// With the true separation -1.5 in every case (the rod's axis passes through
// the ring or is measured against the centre), the reported one is that of the
// nearest sample.
const RodCase kRodCases[] = {
    // Passes through the hole, yet reported overlapping: the samples on the
    // axis are measured against the torus centre.
    {"RodAlongAxisMeasuredFromCentre", 3.0f, true, 0.0f, 37},
    {"RodAcrossTubeAtASample", 5.0f, false, 4.5f, 37},
    {"RodAcrossTubeBetweenSamples", 3.0f, false, 0.07f, 37},
    {"LastPositionJustInsideTheCore", 3.0f, false, 2.5f, 37},
    // Rounding pushes the 37th position past the end of the core, leaving
    // the last step unsampled.
    {"LastPositionPushedPastTheCore", 2.0f, false, 1.5f, 36},
};

INSTANTIATE_TEST_SUITE_P(Rods, RodSampleTest, ::testing::ValuesIn(kRodCases),
                         [](const auto& info) { return info.param.name; });

// Distance from a point to the ring of tube centres of a torus, in double.
double RingDistance(const double p[3], const WorldFrame& ring, double ringRadius)
{
    const double d[3] = {p[0] - ring.centre[0], p[1] - ring.centre[1], p[2] - ring.centre[2]};
    const double along = d[0] * ring.axis[0] + d[1] * ring.axis[1] + d[2] * ring.axis[2];
    const double across[3] = {d[0] - along * ring.axis[0], d[1] - along * ring.axis[1],
                              d[2] - along * ring.axis[2]};
    const double rho =
        std::sqrt(across[0] * across[0] + across[1] * across[1] + across[2] * across[2]);
    return std::hypot(rho - ringRadius, along);
}

float Uniform(float low, float high)
{
    return low + (high - low) * RandomUnit();
}

// The least distance from the first ring's points to the second ring,
// sampled densely in double precision.
double DenseRingDistance(const WorldFrame& fa, float radiusA, const WorldFrame& fb, float radiusB,
                         int dense)
{
    double nearest = 1e30;
    for (int k = 0; k < dense; ++k)
    {
        const double theta = 2.0 * M_PI * k / dense;
        const double c = std::cos(theta) * radiusA;
        const double s = std::sin(theta) * radiusA;
        const double p[3] = {fa.centre[0] + c * fa.x[0] + s * fa.y[0],
                             fa.centre[1] + c * fa.x[1] + s * fa.y[1],
                             fa.centre[2] + c * fa.x[2] + s * fa.y[2]};
        nearest = std::min(nearest, RingDistance(p, fb, radiusB));
    }
    return nearest;
}

PlacedShape RandomlyPlaced(const ShapeSize& dims, float spread)
{
    CMatrix4 local = RandomRotation();
    local.SetTranslation(RandomPoint(1.0f));
    CMatrix4 bodyMatrix = RandomRotation();
    bodyMatrix.SetTranslation(RandomPoint(spread));
    return Place(dims, bodyMatrix, local);
}

// Two tori of random sizes, the second placed at random within 8 of the
// first, with the dense minimum distance between their rings.
struct RingPair
{
    ShapeSize sizeA{EKind::kTorus, Uniform(0.5f, 1.5f), Uniform(2.0f, 7.0f)};
    ShapeSize sizeB{EKind::kTorus, Uniform(0.5f, 1.5f), Uniform(2.0f, 7.0f)};
    PlacedShape a = RandomlyPlaced(sizeA, 0.0f);
    PlacedShape b = RandomlyPlaced(sizeB, 8.0f);
    double dense;

    explicit RingPair(int samples)
        : dense(DenseRingDistance(FrameOf(*a), sizeA.size, FrameOf(*b), sizeB.size, samples))
    {
    }
};

// FastSqrt's error on the sample distance and on the unit vector towards the
// ring point (both below 2^-16 relative), plus rounding of coordinates.
float FastSqrtAllowance(double distance, float ringRadius)
{
    return static_cast<float>((distance + ringRadius) * 0x1p-15 + 2e-5);
}

// The true separation of a rod (its core segment swept by its radius) and a
// torus is bracketed by the dense minimum and that minimum less half a dense
// step (the distance is 1-Lipschitz along the core).
TEST_F(TorusContactTest, RodAgainstTorusNeverBelowTrueSeparation)
{
    SeedRandom(2024u);
    const int kDense = 20000;
    int contacts = 0;
    for (int pose = 0; pose < 300; ++pose)
    {
        const ShapeSize rodSize{EKind::kCylinder, Uniform(0.3f, 1.5f), 0.0f};
        const ShapeSize dims{rodSize.kind, rodSize.r, rodSize.r + Uniform(0.0f, 6.0f)};
        const ShapeSize torusSize{EKind::kTorus, Uniform(0.5f, 1.5f), Uniform(2.0f, 7.0f)};
        const PlacedShape rod = RandomlyPlaced(dims, 0.0f);
        const PlacedShape torus = RandomlyPlaced(torusSize, 6.0f);
        const WorldFrame rodFrame = FrameOf(*rod);
        const WorldFrame ringFrame = FrameOf(*torus);

        const double core = double(dims.size) - double(dims.r);
        double dense = 1e30;
        for (int k = 0; k <= kDense; ++k)
        {
            const double t = -core + 2.0 * core * k / kDense;
            const double p[3] = {rodFrame.centre[0] + t * rodFrame.axis[0],
                                 rodFrame.centre[1] + t * rodFrame.axis[1],
                                 rodFrame.centre[2] + t * rodFrame.axis[2]};
            dense = std::min(dense, RingDistance(p, ringFrame, torusSize.size));
        }
        const double halfDenseStep = core / kDense;
        const double trueAtMost = dense - dims.r - torusSize.r;
        const double trueAtLeast = trueAtMost - halfDenseStep;

        CVector point, normal;
        const float s = ShapeContact(*rod, *torus, point, normal);
        SCOPED_TRACE(::testing::Message()
                     << "pose " << pose << " s " << s << " true " << trueAtMost);
        const float allowance = FastSqrtAllowance(dense, torusSize.size);
        EXPECT_GE(s, trueAtLeast - allowance);
        // The samples are at most one step apart and the last one at most a
        // step short of the core's end.
        EXPECT_LE(s, trueAtMost + core / 18.0 + allowance);
        contacts += s <= 0.0f ? 1 : 0;
    }
    EXPECT_GT(contacts, 30);
}

// The same for two tori, sampling the first ring: the distance is 1-Lipschitz
// along the ring's arc.
TEST_F(TorusContactTest, TorusAgainstTorusNeverBelowTrueSeparation)
{
    SeedRandom(4096u);
    const int kDense = 40000;
    int contacts = 0;
    for (int pose = 0; pose < 300; ++pose)
    {
        const RingPair rings(kDense);
        const double halfDenseArc = M_PI * rings.sizeA.size / kDense;
        const double trueAtMost = rings.dense - rings.sizeA.r - rings.sizeB.r;
        const double trueAtLeast = trueAtMost - halfDenseArc;

        CVector point, normal;
        const float s = ShapeContact(*rings.a, *rings.b, point, normal);
        SCOPED_TRACE(::testing::Message()
                     << "pose " << pose << " s " << s << " true " << trueAtMost);
        const float allowance = FastSqrtAllowance(rings.dense, rings.sizeB.size);
        EXPECT_GE(s, trueAtLeast - allowance);
        EXPECT_LE(s, trueAtMost + M_PI / 64.0 * rings.sizeA.size + allowance);
        contacts += s <= 0.0f ? 1 : 0;
    }
    EXPECT_GT(contacts, 30);
}

// The Stable model's search between the samples: at every touching pose its
// deepest contact lies within a hair of the true separation, where the
// samples alone may miss it by a good part of a step.
TEST_F(TorusContactTest, StableSearchFindsTheTrueSeparationOfTori)
{
    SeedRandom(8192u);
    const int kDense = 40000;
    const double kShallow = 0.5;
    int contacts = 0;
    for (int pose = 0; pose < 600; ++pose)
    {
        const RingPair rings(kDense);
        const double trueAtMost = rings.dense - rings.sizeA.r - rings.sizeB.r;
        const double trueAtLeast = trueAtMost - M_PI * rings.sizeA.size / kDense;

        CVector points[kMaxStablePairContacts];
        CVector normals[kMaxStablePairContacts];
        float separations[kMaxStablePairContacts] = {};
        const int count = ShapeContactsStable(*rings.a, *rings.b, points, normals, separations);
        // Only true overlaps are reported; a pose that misses them by less
        // than the search's precision may go either way.
        const float allowance = FastSqrtAllowance(rings.dense, rings.sizeB.size) + 1e-3f;
        if (trueAtLeast < -allowance)
        {
            ASSERT_GE(count, 1) << "pose " << pose << " true " << trueAtMost;
        }
        if (count == 0)
        {
            EXPECT_GT(trueAtMost, -allowance) << "pose " << pose;
            continue;
        }
        const float deepest = *std::min_element(separations, separations + count);
        SCOPED_TRACE(::testing::Message()
                     << "pose " << pose << " s " << deepest << " true " << trueAtMost);
        EXPECT_GE(deepest, trueAtLeast - allowance);
        // As deep as bodies sink in at rest or in a strike; rings sunk
        // through each other's tubes may end between two valleys.
        if (trueAtMost > -kShallow)
        {
            EXPECT_LE(deepest, trueAtMost + allowance);
            ++contacts;
        }
    }
    EXPECT_GT(contacts, 30);
}

// Two flat rings of radius 6, the upper one's centre 6 along x, their tubes
// (radius 1.5) stacked 0.02 into each other where the circles cross, at
// (3, +-5.196): the Stable model meets them at both crossings, the Classic
// test at one.
TEST_F(TorusContactTest, CrossingRingsTouchAtBothCrossings)
{
    const PlacedShape lower = Place({EKind::kTorus, 1.5f, 6.0f}, kOrigin, kAxisZ);
    const PlacedShape upper =
        Place({EKind::kTorus, 1.5f, 6.0f}, CVector(6.0f, 0.0f, 2.98f), kAxisZ);

    CVector point;
    CVector normal;
    EXPECT_LT(ShapeContact(*upper, *lower, point, normal), 0.0f);

    CVector points[kMaxStablePairContacts];
    CVector normals[kMaxStablePairContacts];
    float separations[kMaxStablePairContacts] = {};
    ASSERT_EQ(ShapeContactsStable(*upper, *lower, points, normals, separations), 2);
    const float crossing = 3.0f * std::sqrt(3.0f);
    const bool firstBelow = points[0].y < 0.0f;
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(::testing::Message() << "contact " << i);
        EXPECT_NEAR(separations[i], -0.02f, 1e-3f);
        EXPECT_NEAR(points[i].x, 3.0f, 0.05f);
        EXPECT_NEAR(std::fabs(points[i].y), crossing, 0.05f);
        EXPECT_NEAR(points[i].z, 1.49f, 0.01f);
        EXPECT_NEAR(normals[i].z, 1.0f, 1e-3f);
    }
    EXPECT_NE(firstBelow, points[1].y < 0.0f);
}

} // namespace
