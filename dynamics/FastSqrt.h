#pragma once
// The table-driven square root that every length of the dynamics and of the
// shape tests goes through: exact exponent, 15 mantissa bits of the argument,
// relative error below 2^-16.

#include <bit>
#include <cstdint>

// 65536 mantissas: entries 32768.. for odd biased exponents, 0.. for even ones.
extern uint32_t g_sqrtTable[65536];

// Must run once before the first FastSqrt (the world's constructor does it).
void BuildSqrtTable();

// x must be a non-negative number (a sum of squares); 0 gives 0. Inline: the
// contact tests take several roots each, and a call would spill every live
// floating-point register around them.
inline float FastSqrt(float x)
{
    const uint32_t u = std::bit_cast<uint32_t>(x);
    if (u == 0)
    {
        return 0.0f;
    }
    const uint32_t e = (((u - 0x3F800000u) >> 1) + 0x3F800000u) & 0x7F800000u;
    const uint32_t m = g_sqrtTable[(u >> 8) & 0xFFFFu];
    return std::bit_cast<float>(e | m);
}
