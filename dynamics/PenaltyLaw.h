#pragma once
// The penalty law that a body meets a fixed plane and another body with: a
// stiff spring along the contact normal, a damper set by the averaged
// restitution, and Coulomb friction of full size at any sliding speed.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "dynamics/FastSqrt.h"
#include "dynamics/Vector.h"

// Spring constant per unit of (reduced) mass.
inline constexpr float kStiffnessPerMass = 40000.0f;

// The mean of the two shares, kept within [0.001, 1].
inline float AveragedRestitution(float a, float b)
{
    float e = (a + b) / 2.0f;
    if (e > 1.0f)
    {
        e = 1.0f;
    }
    else if (e < 0.001f)
    {
        e = 0.001f;
    }
    return e;
}

// The mean of the two shares, kept within [0, 1].
inline float AveragedFriction(float a, float b)
{
    float mu = (a + b) / 2.0f;
    if (mu < 0.0f)
    {
        mu = 0.0f;
    }
    else if (mu > 1.0f)
    {
        mu = 1.0f;
    }
    return mu;
}

// Damping that gives restitution e to a spring of stiffness 40000 m; double
// precision, since ln e is tiny near e = 1. Pi squared is that of the
// single-precision pi.
inline float DampingCoefficient(float mass, float e)
{
    constexpr double kPiSquared = 9.869604950382893;
    const double g = std::log(static_cast<double>(e));
    const double gg = g * g;
    return static_cast<float>(4.0 * static_cast<double>(mass) *
                              std::sqrt(40000.0 * gg / (gg + kPiSquared)));
}

// The spring, damping and friction coefficients of a body of this mass and
// these shares against a fixed plane of those shares.
struct SPlaneCoefficients
{
    float stiffness;
    float damping;
    float friction;
};

inline SPlaneCoefficients PlaneCoefficients(float mass, float restitution, float friction,
                                            float planeRestitution, float planeFriction)
{
    const float e = AveragedRestitution(planeRestitution, restitution);
    return {kStiffnessPerMass * mass, DampingCoefficient(mass, e),
            AveragedFriction(planeFriction, friction)};
}

// Plane coefficients with the bits of the shares they were made from: equal
// bits give equal coefficients, so they are made again only when the key
// changes.
struct SKeptPlaneCoefficients
{
    uint32_t key[5] = {};
    bool valid = false;
    SPlaneCoefficients coefficients = {};
};

inline const SPlaneCoefficients& KeepPlaneCoefficients(SKeptPlaneCoefficients& kept, float mass,
                                                       float restitution, float friction,
                                                       float planeRestitution, float planeFriction)
{
    const uint32_t key[5] = {std::bit_cast<uint32_t>(mass), std::bit_cast<uint32_t>(restitution),
                             std::bit_cast<uint32_t>(friction),
                             std::bit_cast<uint32_t>(planeRestitution),
                             std::bit_cast<uint32_t>(planeFriction)};
    if (!kept.valid || !std::equal(key, key + 5, kept.key))
    {
        kept.coefficients =
            PlaneCoefficients(mass, restitution, friction, planeRestitution, planeFriction);
        std::copy(key, key + 5, kept.key);
        kept.valid = true;
    }
    return kept.coefficients;
}

// The force of one contact point penetrating by -depth along the unit normal
// n, with the contact point's velocity v relative to the other side. spring
// receives the spring's magnitude, which also scales the friction.
inline CVector PenaltyForce(float depth, const CVector& n, const CVector& v, float k, float c,
                            float mu, float& spring)
{
    spring = -depth * k;
    CVector f = spring * n;
    const float vn = Dot(v, n);
    f = f - (c * vn) * n;

    CVector tangent = v - vn * n;
    const float sliding = FastSqrt(tangent.LengthSquared());
    if (sliding != 0.0f)
    {
        tangent = tangent / sliding;
    }
    return f - (spring * mu) * tangent;
}
