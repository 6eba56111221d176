#include "dynamics/BodyContact.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"
#include "shapes/ShapeContact.h"

namespace
{

// Spring constant per unit of reduced mass: the same law as a plane contact.
constexpr float kStiffnessPerMass = 40000.0f;
// The square of the single-precision pi, in double precision.
constexpr double kPiSquared = 9.869604950382893;

// Damping that gives the averaged restitution e for a spring of stiffness
// 40000 m and mass m; computed in double precision, as the logarithm needs it.
float DampingCoefficient(float reducedMass, float e)
{
    const double g = std::log(static_cast<double>(e));
    const double gg = g * g;
    return static_cast<float>(4.0 * static_cast<double>(reducedMass) *
                              std::sqrt(40000.0 * gg / (gg + kPiSquared)));
}

void SetCoefficients(const CInertialBody& a, const CInertialBody& b, SPairCoefficients& pair)
{
    pair.reducedMass = a.mass * b.mass / (a.mass + b.mass);
    pair.stiffness = kStiffnessPerMass * pair.reducedMass;

    float e = (a.restitution + b.restitution) / 2.0f;
    if (e > 1.0f)
    {
        e = 1.0f;
    }
    else if (e < 0.001f)
    {
        e = 0.001f;
    }
    pair.damping = DampingCoefficient(pair.reducedMass, e);

    float mu = (a.friction + b.friction) / 2.0f;
    if (mu < 0.0f)
    {
        mu = 0.0f;
    }
    else if (mu > 1.0f)
    {
        mu = 1.0f;
    }
    pair.friction = mu;
}

} // namespace

void CollideBodies(CInertialBody& a, CInertialBody& b)
{
    SPairCoefficients coefficients;
    CollideBodies(a, b, coefficients);
}

void CollideBodies(CInertialBody& a, CInertialBody& b, SPairCoefficients& last)
{
    const CVector xa = a.Position();
    const CVector xb = b.Position();
    if (FastSqrt((xa - xb).LengthSquared()) >= a.boundingRadius + b.boundingRadius)
    {
        return;
    }

    // Compared as bits: equal bits give equal coefficients, NaN included.
    const uint32_t key[6] = {
        std::bit_cast<uint32_t>(a.mass),        std::bit_cast<uint32_t>(b.mass),
        std::bit_cast<uint32_t>(a.restitution), std::bit_cast<uint32_t>(b.restitution),
        std::bit_cast<uint32_t>(a.friction),    std::bit_cast<uint32_t>(b.friction)};
    if (!last.valid || !std::equal(key, key + 6, last.key))
    {
        SetCoefficients(a, b, last);
        std::copy(key, key + 6, last.key);
        last.valid = true;
    }
    const float k = last.stiffness;
    const float c = last.damping;
    const float mu = last.friction;

    for (const auto& p : a.shapes)
    {
        if (!p->collidable)
        {
            continue;
        }
        for (const auto& q : b.shapes)
        {
            if (!q->collidable)
            {
                continue;
            }
            CVector point;
            CVector n;
            const float delta = ShapeContact(*p, *q, point, n);
            // Only a true overlap is a contact; touching, apart, untested
            // (kInfinity) and anything undefined are not.
            if (!(delta < 0.0f))
            {
                continue;
            }
            const CVector leverA = point - xa;
            const CVector leverB = point - xb;
            const CVector va = Cross(a.worldAngularVelocity, leverA) + a.linearVelocity;
            const CVector vb = Cross(b.worldAngularVelocity, leverB) + b.linearVelocity;
            const CVector v = va - vb;

            const float spring = -delta * k;
            CVector f = spring * n;
            const float vn = Dot(v, n);
            f = f - (c * vn) * n;

            // Full-size Coulomb friction at any non-zero sliding speed.
            CVector tangent = v - vn * n;
            const float sliding = FastSqrt(tangent.LengthSquared());
            if (sliding != 0.0f)
            {
                tangent = tangent / sliding;
            }
            f = f - (spring * mu) * tangent;

            a.force += f;
            a.torque += Cross(leverA, f);
            b.force += -f;
            b.torque += Cross(leverB, -f);
            ++a.contactCount;
            ++b.contactCount;
        }
    }
}
