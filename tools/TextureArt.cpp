#include "tools/TextureArt.h"

#include "tools/TextureNoise.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace
{
constexpr double kPi = 3.14159265358979323846;

struct SColour
{
    double r, g, b; // 0 to 255
};

SColour Mix(const SColour& a, const SColour& b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

SColour Scale(const SColour& c, double k)
{
    return {c.r * k, c.g * k, c.b * k};
}

double Clamp01(double t)
{
    return std::min(1.0, std::max(0.0, t));
}

double SmoothStep(double edge0, double edge1, double x)
{
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

uint8_t Byte(double v)
{
    return static_cast<uint8_t>(std::lround(std::min(255.0, std::max(0.0, v))));
}

// Averages samples x samples evaluations of colour(u, v) per pixel, with
// (u, v) in [0, 1) over the picture and v = 0 on its bottom row.
SRgbImage Paint(int size, int samples, const std::function<SColour(double, double)>& colour)
{
    SRgbImage image(size, size);
    for (int y = 0; y < size; ++y)
    {
        for (int x = 0; x < size; ++x)
        {
            SColour sum{0, 0, 0};
            for (int j = 0; j < samples; ++j)
            {
                for (int i = 0; i < samples; ++i)
                {
                    const double u = (x + (i + 0.5) / samples) / size;
                    const double v = (y + (j + 0.5) / samples) / size;
                    const SColour c = colour(u, v);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            const double n = samples * samples;
            uint8_t* out = image.At(x, y);
            out[0] = Byte(sum.r / n);
            out[1] = Byte(sum.g / n);
            out[2] = Byte(sum.b / n);
        }
    }
    return image;
}

SColour FloorColour(double u, double v)
{
    constexpr int kTiles = 4;
    const int i = static_cast<int>(u * kTiles);
    const int j = static_cast<int>(v * kTiles);
    const double a = u * kTiles - i; // position inside the tile, 0 to 1
    const double b = v * kTiles - j;

    const bool light = (i + j) % 2 == 0;
    SColour stone = light ? SColour{226, 217, 198} : SColour{170, 178, 190};
    stone = Scale(stone, 0.95 + 0.08 * LatticeValue(i, j, 7));

    // Marble veins: a wavy band pattern bent by noise; the whole frequencies
    // keep it periodic over the picture.
    const double warp = FractalNoise(u, v, 4, 5, light ? 11 : 23);
    const double band = std::fabs(std::sin((3 * u + 2 * v) * 2 * kPi + warp * 9.0));
    const double vein = std::pow(1.0 - band, 12.0);
    stone = Scale(stone, 1.0 - 0.22 * vein);
    stone = Scale(stone, 0.95 + 0.1 * FractalNoise(u, v, 32, 3, 31));

    // Bevelled edges and the grout between tiles.
    const double edge = std::min(std::min(a, 1 - a), std::min(b, 1 - b));
    const double bevel = 1.0 - SmoothStep(0.02, 0.07, edge);
    const double lit = (b > 1 - a) ? 1.0 : -1.0; // upper left lighter
    stone = Scale(stone, 1.0 + 0.10 * bevel * lit);
    const SColour grout{104, 98, 92};
    return Mix(grout, stone, SmoothStep(0.012, 0.024, edge));
}

SColour BodyColour(double u, double v)
{
    constexpr int kAround = 8;
    constexpr int kAlong = 4;
    const double cu = u * kAround;
    const double cv = v * kAlong;
    const int i = static_cast<int>(cu);
    const int j = static_cast<int>(cv);
    const double a = cu - i;
    const double b = cv - j;

    const SColour light{246, 243, 234};
    const SColour dark{126, 132, 150};
    const bool isLight = (i + j) % 2 == 0;
    // Cells are twice as tall as wide in the picture: measure the disc in
    // pixels, not in cell units.
    const double dx = (a - 0.5);
    const double dy = (b - 0.5) * 2.0;
    const double r = std::sqrt(dx * dx + dy * dy);
    const double disc = 1.0 - SmoothStep(0.20, 0.23, r);
    SColour c = Mix(isLight ? light : dark, isLight ? dark : light, disc * 0.85);

    const double seam = std::min(std::min(a, 1 - a), std::min(b, 1 - b) * 2.0);
    return Mix(SColour{36, 36, 42}, c, SmoothStep(0.035, 0.06, seam));
}

SColour EnvironmentColour(double s, double t)
{
    // The mirror ball's normal at this texel, then the direction it reflects
    // the view into (eye coordinates: y up, the viewer along +z).
    double x = 2 * s - 1;
    double y = 2 * t - 1;
    double r2 = x * x + y * y;
    if (r2 > 0.998)
    {
        const double k = std::sqrt(0.998 / r2);
        x *= k;
        y *= k;
        r2 = 0.998;
    }
    const double nz = std::sqrt(1 - r2);
    const double rx = 2 * nz * x;
    const double ry = 2 * nz * y;
    const double rz = 2 * nz * nz - 1;

    if (ry >= 0)
    {
        const SColour horizon{214, 226, 238};
        const SColour zenith{48, 98, 182};
        SColour sky = Mix(horizon, zenith, std::pow(ry, 0.55));
        // Clouds on a plane overhead: farther ones crowd towards the horizon.
        const double k = 1.0 / (ry + 0.18);
        const double n = FractalNoise(0.17 * rx * k + 0.5, 0.17 * rz * k + 0.5, 4, 5, 41);
        const double cloud = SmoothStep(0.50, 0.70, n) * SmoothStep(0.0, 0.12, ry);
        sky = Mix(sky, SColour{250, 250, 252}, 0.85 * cloud);
        // A sun high on the right, behind the viewer's shoulder.
        const double sx = 0.45, sy = 0.62, sz = 0.64;
        const double toSun = std::max(0.0, rx * sx + ry * sy + rz * sz);
        const double glow = 255 * std::pow(toSun, 600) + 70 * std::pow(toSun, 24);
        return {sky.r + glow, sky.g + glow, sky.b + glow * 0.85};
    }
    const double down = -ry;
    const SColour nearHorizon{160, 156, 128};
    const SColour below{80, 92, 58};
    SColour ground = Mix(nearHorizon, below, std::pow(down, 0.45));
    const double k = 1.0 / (down + 0.12);
    const double n = FractalNoise(0.25 * rx * k + 0.5, 0.25 * rz * k + 0.5, 8, 4, 53);
    ground = Scale(ground, 0.85 + 0.3 * n);
    // A haze where ground meets sky.
    return Mix(SColour{196, 202, 204}, ground, SmoothStep(0.0, 0.08, down));
}
} // namespace

SRgbImage PaintFloor(int size)
{
    return Paint(size, 3, FloorColour);
}

SRgbImage PaintBody(int size)
{
    return Paint(size, 3, BodyColour);
}

SRgbImage PaintEnvironment(int size)
{
    return Paint(size, 3, EnvironmentColour);
}
