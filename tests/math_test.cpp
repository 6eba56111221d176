// The arithmetic everything else computes with: the table-driven square root
// against a correctly rounded reference, the affine inverse, planes.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Matrix4.h"
#include "dynamics/Plane.h"
#include "dynamics/Vector.h"

namespace
{
class FastSqrtTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildSqrtTable(); }
};

// The reference: the correctly rounded root of the argument truncated to the
// 15 mantissa bits the table sees. FastSqrt must equal it bit for bit, and
// stay within 2^-16 of the true root.
float Reference(float x)
{
    const uint32_t u = std::bit_cast<uint32_t>(x) & 0xFFFFFF00u;
    return std::sqrt(std::bit_cast<float>(u));
}

TEST_F(FastSqrtTest, ExactValues)
{
    const struct
    {
        float in, out;
    } cases[] = {{0.0f, 0.0f}, {0.25f, 0.5f},   {1.0f, 1.0f},      {4.0f, 2.0f},
                 {9.0f, 3.0f}, {100.0f, 10.0f}, {2.0f, 1.4142135f}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(FastSqrt(c.in), c.out) << c.in;
    }
}

TEST_F(FastSqrtTest, MatchesTruncatedReferenceAcrossTheNormalRange)
{
    // Every 97th bit pattern from the smallest normal number to the largest
    // finite one: about 20 million arguments covering every exponent.
    uint64_t checked = 0;
    for (uint64_t bits = 0x00800000u; bits < 0x7F800000u; bits += 97)
    {
        const float x = std::bit_cast<float>(static_cast<uint32_t>(bits));
        const float got = FastSqrt(x);
        const float want = Reference(x);
        ASSERT_EQ(std::bit_cast<uint32_t>(got), std::bit_cast<uint32_t>(want)) << x;
        const double exact = std::sqrt(static_cast<double>(x));
        ASSERT_LT(std::fabs(got - exact) / exact, 1.0 / 65536.0) << x;
        ++checked;
    }
    EXPECT_GT(checked, 20000000u);
}

TEST_F(FastSqrtTest, NormalizeLeavesZeroAlone)
{
    CVector zero;
    zero.Normalize();
    EXPECT_EQ(zero, kZeroVector);

    CVector v(3.0f, 0.0f, 4.0f);
    v.Normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

TEST(Matrix4Test, InverseOfIdentityIsIdentity)
{
    CMatrix4 inverse;
    inverse[0] = 7.0f;
    ASSERT_TRUE(kIdentity.InvertAffine(inverse));
    EXPECT_EQ(inverse, kIdentity);
}

TEST(Matrix4Test, BottomRowOutsideToleranceIsRefusedAndDestinationUntouched)
{
    const struct
    {
        int index;
        float value;
        bool affine;
    } cases[] = {{15, 1.0005f, true},
                 {15, 1.002f, false},
                 {3, 0.002f, false},
                 {7, -0.002f, false},
                 {11, 0.0009f, true}};
    for (const auto& c : cases)
    {
        CMatrix4 m;
        m.SetTranslation(1.0f, 2.0f, 3.0f);
        m[c.index] = c.value;
        CMatrix4 dest;
        dest[5] = 42.0f;
        EXPECT_EQ(m.InvertAffine(dest), c.affine) << c.index << " " << c.value;
        if (!c.affine)
        {
            EXPECT_EQ(dest[5], 42.0f);
        }
    }
}

TEST(Matrix4Test, InverseUndoesRotationScaleAndTranslation)
{
    // A rotation by 30 degrees about z, scaled by 2, then moved.
    const float c = std::cos(0.5235988f), s = std::sin(0.5235988f);
    CMatrix4 m;
    m[0] = 2 * c, m[1] = 2 * s, m[4] = -2 * s, m[5] = 2 * c, m[10] = 2;
    m.SetTranslation(5.0f, -3.0f, 7.0f);
    CMatrix4 inverse;
    ASSERT_TRUE(m.InvertAffine(inverse));
    const CVector p(1.5f, -2.0f, 0.25f);
    const CVector back = inverse.TransformPoint(m.TransformPoint(p));
    EXPECT_NEAR(back.x, p.x, 1e-5f);
    EXPECT_NEAR(back.y, p.y, 1e-5f);
    EXPECT_NEAR(back.z, p.z, 1e-5f);
    EXPECT_NEAR(inverse[0], c / 2, 1e-6f);
    EXPECT_NEAR(inverse[4], s / 2, 1e-6f);

    CMatrix4 shift;
    shift.SetTranslation(4.0f, -5.0f, 6.0f);
    ASSERT_TRUE(shift.InvertAffine(inverse));
    EXPECT_EQ(inverse.Translation(), CVector(-4.0f, 5.0f, -6.0f));
}

TEST(PlaneTest, FromPointNormal)
{
    EXPECT_EQ(CPlane::FromPointNormal(kOrigin, kAxisZ).d, 0.0f);
    const CPlane wall = CPlane::FromPointNormal(CVector(-40.0f, 0.0f, 0.0f), kAxisX);
    EXPECT_EQ(wall.d, 40.0f);
    EXPECT_EQ(wall.Distance(CVector(-30.0f, 9.0f, 9.0f)), 10.0f);
}
} // namespace
