#pragma once
// Repeatable lattice noise for painting textures: the same numbers on every
// run and machine (integer hashing, no random generator), and periodic so a
// picture painted with it tiles without a seam.

#include <cstdint>

// A value in [0, 1) fixed by the lattice point and the seed.
double LatticeValue(int x, int y, uint32_t seed);

// Smoothly interpolated lattice noise in [0, 1) at (x, y), repeating every
// period lattice units in both directions.
double PeriodicNoise(double x, double y, int period, uint32_t seed);

// Octaves of PeriodicNoise, each twice the frequency and half the weight of
// the one before, normalised to [0, 1). (u, v) in [0, 1) spans one period of
// the first octave, which has basePeriod lattice cells.
double FractalNoise(double u, double v, int basePeriod, int octaves, uint32_t seed);
