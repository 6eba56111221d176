// Exchanging the two shapes of a pair must mirror the answer: the normal
// negated, the separation and the contact point kept. How closely depends on
// the test:
// - exactly (bit for bit): sphere-cylinder, sphere-torus and cylinder-torus,
//   whose two orders run the same arithmetic on the same inputs;
// - within rounding: sphere-sphere (the radii are subtracted in the other
//   order and the point is measured from the other centre; the normal is still
//   negated exactly) and cylinder-cylinder (the planes are built through the
//   other axis, and FastSqrt's 15-bit table can step between neighbouring
//   entries, up to 2^-16 of the core distance); the clamps give the same
//   closest points in either order, as the end of one core projected onto the
//   other can land inside for at most one of the two;
// - within sampling: torus-torus samples the ring of its first argument, so
//   the two orders measure different sample sets; both overestimate the true
//   separation by at most half a sample step along the sampled ring.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

#include "ContactShapes.h"
#include "dynamics/Constants.h"
#include "shapes/ShapeContact.h"

namespace
{

enum class ESymmetry
{
    kExact,
    kRounding,
    kSampling
};

struct SwapCase
{
    std::string name;
    EKind a;
    EKind b;
    ESymmetry symmetry;
};

void PrintTo(const SwapCase& c, std::ostream* os)
{
    *os << c.name;
}

float Uniform(float low, float high)
{
    return low + (high - low) * RandomUnit();
}

ShapeSize RandomSize(EKind kind)
{
    switch (kind)
    {
    case EKind::kSphere:
        return {kind, Uniform(0.5f, 3.0f), 0.0f};
    case EKind::kCylinder:
        // Some disks (half-length below the radius) among the rods.
        return {kind, Uniform(0.5f, 2.0f), Uniform(0.5f, 6.0f)};
    case EKind::kTorus:
        return {kind, Uniform(0.5f, 1.5f), Uniform(2.0f, 7.0f)};
    }
    return {};
}

// A shape offset and turned inside its body, the body turned and placed.
PlacedShape RandomlyPlaced(const ShapeSize& dims, const CVector& near, float spread)
{
    CMatrix4 local = RandomRotation();
    local.SetTranslation(RandomPoint(1.0f));
    CMatrix4 bodyMatrix = RandomRotation();
    bodyMatrix.SetTranslation(near + RandomPoint(spread));
    return Place(dims, bodyMatrix, local);
}

float BoundingRadius(const ShapeSize& dims)
{
    return dims.kind == EKind::kSphere ? dims.r : dims.r + dims.size;
}

class SwapTest : public ::testing::TestWithParam<SwapCase>
{
protected:
    static void SetUpTestSuite() { EnsureSqrtTable(); }
};

TEST_P(SwapTest, SwappingMirrorsTheAnswer)
{
    const SwapCase& c = GetParam();
    SeedRandom(1234u + static_cast<uint32_t>(c.a) * 3u + static_cast<uint32_t>(c.b));
    int contacts = 0;
    for (int pose = 0; pose < 4000; ++pose)
    {
        const ShapeSize sizeA = RandomSize(c.a);
        const ShapeSize sizeB = RandomSize(c.b);
        const float reach = BoundingRadius(sizeA) + BoundingRadius(sizeB);
        const PlacedShape a = RandomlyPlaced(sizeA, kOrigin, 0.0f);
        const PlacedShape b = RandomlyPlaced(sizeB, kOrigin, 0.6f * reach);

        CVector pointAB, normalAB, pointBA, normalBA;
        const float ab = ShapeContact(*a, *b, pointAB, normalAB);
        const float ba = ShapeContact(*b, *a, pointBA, normalBA);
        SCOPED_TRACE(::testing::Message() << "pose " << pose << ": " << ab << " / " << ba);

        if (c.symmetry == ESymmetry::kExact)
        {
            ASSERT_EQ(ab, ba);
            if (ab <= 0.0f)
            {
                ++contacts;
                ASSERT_EQ(pointAB, pointBA);
                ASSERT_EQ(normalAB, -normalBA);
            }
            continue;
        }
        ASSERT_EQ(ab == kInfinity, ba == kInfinity);
        if (ab == kInfinity)
        {
            continue;
        }
        // The distance between the two cores, which the errors scale with.
        const float cores = std::max(std::fabs(ab), std::fabs(ba)) + sizeA.r + sizeB.r;
        const float fastSqrtStep = cores * 0x1p-15f + 1e-5f;
        if (c.symmetry == ESymmetry::kSampling)
        {
            // Both orders lie within half a step of the true separation. Point
            // and normal are not compared: where the minimum is flat (rings
            // nearly coaxial, deep overlaps) the two sample sets can settle on
            // far-apart places of the rings.
            const float halfStep = 0.5f * (6.2831855f / 64.0f) * std::max(sizeA.size, sizeB.size);
            ASSERT_NEAR(ab, ba, halfStep + fastSqrtStep);
            contacts += ab <= 0.0f ? 1 : 0;
            continue;
        }
        ASSERT_NEAR(ab, ba, fastSqrtStep);
        if (ab <= 0.0f && ba <= 0.0f)
        {
            ++contacts;
            // Unit normals carry up to 2^-16 of FastSqrt's error per component.
            const float normalTolerance = 4e-5f;
            const float pointTolerance = 2e-5f * (1.0f + reach);
            ASSERT_NEAR(pointAB.x, pointBA.x, pointTolerance);
            ASSERT_NEAR(pointAB.y, pointBA.y, pointTolerance);
            ASSERT_NEAR(pointAB.z, pointBA.z, pointTolerance);
            ASSERT_NEAR(normalAB.x, -normalBA.x, normalTolerance);
            ASSERT_NEAR(normalAB.y, -normalBA.y, normalTolerance);
            ASSERT_NEAR(normalAB.z, -normalBA.z, normalTolerance);
        }
    }
    // The poses must exercise the contact branch, not only the early returns.
    EXPECT_GT(contacts, 400);
}

const SwapCase kSwapCases[] = {
    {"SphereSphere", EKind::kSphere, EKind::kSphere, ESymmetry::kRounding},
    {"SphereCylinder", EKind::kSphere, EKind::kCylinder, ESymmetry::kExact},
    {"SphereTorus", EKind::kSphere, EKind::kTorus, ESymmetry::kExact},
    {"CylinderCylinder", EKind::kCylinder, EKind::kCylinder, ESymmetry::kRounding},
    {"CylinderTorus", EKind::kCylinder, EKind::kTorus, ESymmetry::kExact},
    {"TorusTorus", EKind::kTorus, EKind::kTorus, ESymmetry::kSampling},
};

INSTANTIATE_TEST_SUITE_P(AllPairs, SwapTest, ::testing::ValuesIn(kSwapCases),
                         [](const auto& info) { return info.param.name; });

} // namespace
