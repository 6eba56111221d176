#include "dynamics/FastSqrt.h"

#include <bit>
#include <cmath>

uint32_t g_sqrtTable[65536];

void BuildSqrtTable()
{
    for (uint32_t i = 0; i < 32768; ++i)
    {
        const float odd = std::bit_cast<float>(0x3F800000u | (i << 8));
        g_sqrtTable[32768 + i] = std::bit_cast<uint32_t>(std::sqrt(odd)) & 0x7FFFFFu;
        const float even = std::bit_cast<float>(0x40000000u | (i << 8));
        g_sqrtTable[i] = std::bit_cast<uint32_t>(std::sqrt(even)) & 0x7FFFFFu;
    }
}

float FastSqrt(float x)
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
