#pragma once
// The table-driven square root that every length of the dynamics and of the
// shape tests goes through: exact exponent, 15 mantissa bits of the argument,
// relative error below 2^-16.

#include <cstdint>

// 65536 mantissas: entries 32768.. for odd biased exponents, 0.. for even ones.
extern uint32_t g_sqrtTable[65536];

// Must run once before the first FastSqrt (the world's constructor does it).
void BuildSqrtTable();

// x must be a non-negative number (a sum of squares); 0 gives 0.
float FastSqrt(float x);
