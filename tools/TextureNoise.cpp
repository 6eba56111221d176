#include "tools/TextureNoise.h"

#include <cmath>

namespace
{
uint32_t Mix(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

int Wrap(int i, int period)
{
    return ((i % period) + period) % period;
}

double Smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}
} // namespace

double LatticeValue(int x, int y, uint32_t seed)
{
    const uint32_t h = Mix(static_cast<uint32_t>(x) * 0x9E3779B1u ^
                           Mix(static_cast<uint32_t>(y) * 0x85EBCA77u ^ Mix(seed)));
    return h / 4294967296.0;
}

double PeriodicNoise(double x, double y, int period, uint32_t seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int x0 = Wrap(static_cast<int>(fx), period);
    const int y0 = Wrap(static_cast<int>(fy), period);
    const int x1 = Wrap(x0 + 1, period);
    const int y1 = Wrap(y0 + 1, period);
    const double tx = Smooth(x - fx);
    const double ty = Smooth(y - fy);
    const double a = LatticeValue(x0, y0, seed) * (1 - tx) + LatticeValue(x1, y0, seed) * tx;
    const double b = LatticeValue(x0, y1, seed) * (1 - tx) + LatticeValue(x1, y1, seed) * tx;
    return a * (1 - ty) + b * ty;
}

double FractalNoise(double u, double v, int basePeriod, int octaves, uint32_t seed)
{
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    int period = basePeriod;
    for (int i = 0; i < octaves; ++i)
    {
        sum += weight * PeriodicNoise(u * period, v * period, period, seed + 101u * i);
        total += weight;
        weight *= 0.5;
        period *= 2;
    }
    return sum / total;
}
