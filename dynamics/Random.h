#pragma once
// The program's one pseudo-random generator, with the classic srand/rand
// semantics and range 0..32767, so that every run of a given seed draws the
// same sequence on every platform. Every random choice draws from it.

#include <cstdint>

inline constexpr int kRandomMax = 32767;

void SeedRandom(uint32_t seed);

// Next draw d in [0, 32767].
int Random();

// u = d / 32767 in [0, 1] and U = 2d / 32767 - 1 in [-1, 1], each a fresh draw.
float RandomUnit();
float RandomSigned();
