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
