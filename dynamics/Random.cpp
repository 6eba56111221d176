#include "dynamics/Random.h"

namespace
{
uint32_t s_state = 1;
}

void SeedRandom(uint32_t seed) { s_state = seed; }

int Random()
{
    s_state = s_state * 214013u + 2531011u;
    return static_cast<int>((s_state >> 16) & 0x7FFFu);
}

float RandomUnit() { return static_cast<float>(Random()) / 32767.0f; }

float RandomSigned() { return 2.0f * static_cast<float>(Random()) / 32767.0f - 1.0f; }
