// The tests between a torus and a cylinder or another torus. The core of one
// shape (the cylinder's axis segment, or the first torus's ring of tube
// centres) is sampled at fixed steps; each sample is measured in closed form
// against the other torus's ring, and the nearest sample decides. Steps are
// accumulated in single precision, so the sample positions are fixed bit for
// bit.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"
#include "shapes/ShapeContact.h"

namespace
{

// 1/18 in single precision: 37 positions along the cylinder's core.
constexpr float kCoreStepFraction = 0.055555556f;
// 2 pi / 64: 65 samples around a ring, the last repeating the first.
constexpr float kRingStep = 0.09817477f;

// The sample angles never change, so their cosines and sines are taken once;
// the values are those the same single-precision calls give at each sample.
struct RingAngles
{
    // Room for the samples rounded up to whole groups of lanes; the entries
    // past count are zero and their results unused.
    static constexpr int kCapacity = 68;
    int count = 0;
    alignas(16) float cosine[kCapacity] = {};
    alignas(16) float sine[kCapacity] = {};

    RingAngles()
    {
        for (float theta = 0.0f; theta < kTwoPi && count < kCapacity; theta += kRingStep)
        {
            cosine[count] = std::cos(theta);
            sine[count] = std::sin(theta);
            ++count;
        }
    }
};

const RingAngles& SampleAngles()
{
    static const RingAngles angles;
    return angles;
}

// The world frame of the torus that is measured against.
struct Ring
{
    CVector centre;
    CVector axis;
    float ringRadius;
    float tubeRadius;

    explicit Ring(const CTorus& torus)
        : centre(torus.WorldCentre()), axis(torus.WorldAxis()), ringRadius(torus.ringRadius),
          tubeRadius(torus.tubeRadius)
    {
    }

    // The torus centre when p lies on the axis, where every ring point is
    // equally near.
    CVector NearestPoint(const CVector& p) const
    {
        CVector across = Cross(Cross(axis, p - centre), axis);
        across.Normalize();
        return centre + ringRadius * across;
    }
};

// Four ring samples side by side. GCC's vector extension gives every lane
// the same single-precision operation, in the same order, as the scalar code
// of Ring::NearestPoint and Separation, so each lane's value is bit for bit
// the one that code gives for its sample.
typedef float Lanes __attribute__((vector_size(16)));
constexpr int kLanes = 4;

Lanes Splat(float v)
{
    return Lanes{v, v, v, v};
}

// FastSqrt lane by lane: the exponent arithmetic on all four at once, the
// table read one lane at a time, a zero square giving a zero root.
Lanes LaneRoots(const Lanes& squares)
{
    typedef uint32_t Bits __attribute__((vector_size(16)));
    Bits u;
    __builtin_memcpy(&u, &squares, sizeof u);
    const Bits exponent = (((u - 0x3F800000u) >> 1) + 0x3F800000u) & 0x7F800000u;
    const Bits index = (u >> 8) & 0xFFFFu;
    const Bits mantissa = {g_sqrtTable[index[0]], g_sqrtTable[index[1]], g_sqrtTable[index[2]],
                           g_sqrtTable[index[3]]};
    const Bits bits = (u == 0u) ? Bits{0u, 0u, 0u, 0u} : (exponent | mantissa);
    Lanes roots;
    __builtin_memcpy(&roots, &bits, sizeof roots);
    return roots;
}

// Separations of samples first .. first + 3 of a's ring from b's ring, as
// Separation(p, ring.NearestPoint(p), rp, ring.tubeRadius) gives them.
Lanes RingSampleSeparations(const RingAngles& angles, int first, const CVector& centre,
                            float radius, const CVector& xAxis, const CVector& yAxis, float rp,
                            const Ring& ring)
{
    Lanes c;
    Lanes s;
    __builtin_memcpy(&c, angles.cosine + first, sizeof c);
    __builtin_memcpy(&s, angles.sine + first, sizeof s);
    const Lanes r = Splat(radius);
    // p = centre + radius (cos X + sin Y)
    const Lanes px = Splat(centre.x) + r * (c * xAxis.x + s * yAxis.x);
    const Lanes py = Splat(centre.y) + r * (c * xAxis.y + s * yAxis.y);
    const Lanes pz = Splat(centre.z) + r * (c * xAxis.z + s * yAxis.z);

    // across = (axis x (p - centre)) x axis, normalised
    const Lanes ax = Splat(ring.axis.x);
    const Lanes ay = Splat(ring.axis.y);
    const Lanes az = Splat(ring.axis.z);
    const Lanes dx = px - ring.centre.x;
    const Lanes dy = py - ring.centre.y;
    const Lanes dz = pz - ring.centre.z;
    const Lanes ux = ay * dz - az * dy;
    const Lanes uy = az * dx - ax * dz;
    const Lanes uz = ax * dy - ay * dx;
    Lanes ex = uy * az - uz * ay;
    Lanes ey = uz * ax - ux * az;
    Lanes ez = ux * ay - uy * ax;
    const Lanes length = LaneRoots(ex * ex + ey * ey + ez * ez);
    const auto nonZero = length != Splat(0.0f);
    ex = nonZero ? ex / length : ex;
    ey = nonZero ? ey / length : ey;
    ez = nonZero ? ez / length : ez;

    // q = centre + ringRadius across; separation |p - q| - rp - tube
    const Lanes rq = Splat(ring.ringRadius);
    const Lanes gx = px - (Splat(ring.centre.x) + rq * ex);
    const Lanes gy = py - (Splat(ring.centre.y) + rq * ey);
    const Lanes gz = pz - (Splat(ring.centre.z) + rq * ez);
    return LaneRoots(gx * gx + gy * gy + gz * gz) - rp - ring.tubeRadius;
}

float Separation(const CVector& p, const CVector& q, float sampledRadius, float tubeRadius)
{
    return FastSqrt((p - q).LengthSquared()) - sampledRadius - tubeRadius;
}

// Smallest separation over the cylinder's core samples, with the parameter of
// the first sample that reached it. kInfinity for a cylinder shorter than it
// is wide, whose core has no samples.
float NearestCoreSample(const CCylinder& cylinder, const Ring& ring, float& bestT)
{
    const CVector centre = cylinder.WorldCentre();
    const CVector axis = cylinder.WorldAxis();
    const float core = cylinder.halfLength - cylinder.radius;
    float best = kInfinity;
    if (!(core >= 0.0f))
    {
        return best;
    }
    const float step = core * kCoreStepFraction;
    for (float t = -core; t <= core;)
    {
        const CVector p = centre + t * axis;
        const float s = Separation(p, ring.NearestPoint(p), cylinder.radius, ring.tubeRadius);
        if (s < best)
        {
            best = s;
            bestT = t;
        }
        // A zero-length core (half-length equal to the radius) gives a zero
        // step: its one position is taken once.
        const float next = t + step;
        if (next == t)
        {
            break;
        }
        t = next;
    }
    return best;
}

// The contact point between the sampled point p (swept radius rp) and the ring
// point q (tube radius rq), on the surface of the ringed torus at touching.
CVector ContactPoint(const CVector& p, float rp, const CVector& q, float rq)
{
    return (rq * p + rp * q) / (rp + rq);
}

// Both argument orders sample the cylinder, so they agree exactly up to the
// sign of the normal.
float CylinderAgainstTorus(const CCylinder& cylinder, const CTorus& torus, CVector& point,
                           CVector& fromTorus)
{
    const Ring ring(torus);
    float bestT = 0.0f;
    const float best = NearestCoreSample(cylinder, ring, bestT);
    if (best > 0.0f)
    {
        return best;
    }
    const CVector p = cylinder.WorldCentre() + bestT * cylinder.WorldAxis();
    const CVector q = ring.NearestPoint(p);
    fromTorus = p - q;
    fromTorus.Normalize();
    point = ContactPoint(p, cylinder.radius, q, ring.tubeRadius);
    return best;
}

} // namespace

float CylinderTorusContact(const CCylinder& a, const CTorus& b, CVector& point, CVector& normal)
{
    return CylinderAgainstTorus(a, b, point, normal);
}

float TorusCylinderContact(const CTorus& a, const CCylinder& b, CVector& point, CVector& normal)
{
    CVector fromTorus;
    const float best = CylinderAgainstTorus(b, a, point, fromTorus);
    if (best <= 0.0f)
    {
        normal = -fromTorus;
    }
    return best;
}

namespace
{

// The first torus's ring in world space, sampled at the fixed angles.
struct SampledRing
{
    CVector centre;
    CVector xAxis;
    CVector yAxis;
    float radius;

    explicit SampledRing(const CTorus& torus)
        : centre(torus.WorldCentre()),
          xAxis(torus.body->matrix.TransformDirection(torus.matrix.Column(0))),
          yAxis(torus.body->matrix.TransformDirection(torus.matrix.Column(1))),
          radius(torus.ringRadius)
    {
    }

    CVector At(float cosine, float sine) const
    {
        return centre + radius * (cosine * xAxis + sine * yAxis);
    }
};

// Smallest separation of a's ring samples from b's ring, with its sample.
float NearestRingSample(const CTorus& a, const SampledRing& sampled, const Ring& ring,
                        int& bestSample)
{
    const RingAngles& angles = SampleAngles();
    float best = kInfinity;
    bestSample = 0;
    for (int first = 0; first < angles.count; first += kLanes)
    {
        const Lanes separations =
            RingSampleSeparations(angles, first, sampled.centre, sampled.radius, sampled.xAxis,
                                  sampled.yAxis, a.tubeRadius, ring);
        for (int j = 0; j < kLanes && first + j < angles.count; ++j)
        {
            if (separations[j] < best)
            {
                best = separations[j];
                bestSample = first + j;
            }
        }
    }
    return best;
}

// The contact of the sampled point p of a's ring with b's ring.
void RingContact(const CVector& p, float tubeRadius, const Ring& ring, CVector& point,
                 CVector& normal)
{
    const CVector q = ring.NearestPoint(p);
    normal = p - q;
    normal.Normalize();
    point = ContactPoint(p, tubeRadius, q, ring.tubeRadius);
}

} // namespace

float TorusTorusContact(const CTorus& a, const CTorus& b, CVector& point, CVector& normal)
{
    const Ring ring(b);
    const SampledRing sampled(a);
    int bestSample = 0;
    const float best = NearestRingSample(a, sampled, ring, bestSample);
    if (best > 0.0f)
    {
        return best;
    }
    const RingAngles& angles = SampleAngles();
    RingContact(sampled.At(angles.cosine[bestSample], angles.sine[bestSample]), a.tubeRadius, ring,
                point, normal);
    return best;
}

int TorusTorusContactsRefined(const CTorus& a, const CTorus& b, CVector points[], CVector normals[],
                              float separations[])
{
    // Between samples the nearest separation can lie a few hundredths below
    // the sampled one, as much as a resting contact sinks in; a pair that
    // may touch is therefore searched between the samples too.
    constexpr float kRefineBelow = 0.1f;
    constexpr int kRounds = 2;
    // The samples proper: the last repeats the first.
    constexpr int kSamples = 64;

    const Ring ring(b);
    const SampledRing sampled(a);
    const RingAngles& angles = SampleAngles();
    alignas(16) float sampledSeparations[RingAngles::kCapacity];
    for (int first = 0; first < angles.count; first += kLanes)
    {
        const Lanes lanes = RingSampleSeparations(angles, first, sampled.centre, sampled.radius,
                                                  sampled.xAxis, sampled.yAxis, a.tubeRadius, ring);
        __builtin_memcpy(sampledSeparations + first, &lanes, sizeof lanes);
    }

    // Two rings that cross touch at up to two places at once: each place is
    // a valley of the sampled separations, and the two deepest are kept.
    int valleys[kMaxStablePairContacts] = {};
    int found = 0;
    float previous = sampledSeparations[kSamples - 1];
    for (int k = 0; k < kSamples; ++k)
    {
        const float here = sampledSeparations[k];
        const float next = sampledSeparations[k + 1 < kSamples ? k + 1 : 0];
        const bool valley = here < kRefineBelow && here < previous && here <= next;
        previous = here;
        if (!valley)
        {
            continue;
        }
        if (found < kMaxStablePairContacts)
        {
            valleys[found++] = k;
        }
        else
        {
            int shallowest = 0;
            for (int v = 1; v < found; ++v)
            {
                if (sampledSeparations[valleys[v]] > sampledSeparations[valleys[shallowest]])
                {
                    shallowest = v;
                }
            }
            if (here < sampledSeparations[valleys[shallowest]])
            {
                valleys[shallowest] = k;
            }
        }
    }
    // In the order of the ring, whichever was found deeper.
    static_assert(kMaxStablePairContacts == 2);
    if (found == 2 && valleys[1] < valleys[0])
    {
        std::swap(valleys[0], valleys[1]);
    }

    int count = 0;
    for (int v = 0; v < found; ++v)
    {
        // Points of the ring at a small turn from the valley's sample, the
        // turn's cosine and sine from their series (exact to single
        // precision for the turns searched here, under two sample steps).
        const int k = valleys[v];
        const CVector along = angles.cosine[k] * sampled.xAxis + angles.sine[k] * sampled.yAxis;
        const CVector across = angles.cosine[k] * sampled.yAxis - angles.sine[k] * sampled.xAxis;
        struct Probe
        {
            CVector p;
            CVector q;
            float separation;
        };
        const auto probe = [&](float turn)
        {
            const float t2 = turn * turn;
            const float c = 1.0f - t2 * (0.5f - t2 * (1.0f / 24.0f - t2 * (1.0f / 720.0f)));
            const float s = turn * (1.0f - t2 * (1.0f / 6.0f - t2 * (1.0f / 120.0f)));
            Probe result;
            result.p = sampled.centre + sampled.radius * (c * along + s * across);
            result.q = ring.NearestPoint(result.p);
            result.separation = Separation(result.p, result.q, a.tubeRadius, ring.tubeRadius);
            return result;
        };
        // Parabolas through three separations, each about the last vertex
        // with a quarter of the spacing; the first through the valley's
        // sample and its neighbours, already measured.
        // The sample's own points are only worked out if it stays the best.
        Probe best;
        best.separation = sampledSeparations[k];
        bool atSample = true;
        float turn = 0.0f;
        float spacing = kRingStep;
        float before = sampledSeparations[k > 0 ? k - 1 : kSamples - 1];
        float after = sampledSeparations[k + 1];
        for (int round = 0; round < kRounds; ++round)
        {
            if (round > 0)
            {
                before = probe(turn - spacing).separation;
                after = probe(turn + spacing).separation;
            }
            const float curvature = before - 2.0f * best.separation + after;
            if (!(curvature > 0.0f))
            {
                break;
            }
            const float offset =
                std::clamp(spacing * (before - after) / (2.0f * curvature), -spacing, spacing);
            const Probe next = probe(turn + offset);
            if (next.separation < best.separation)
            {
                best = next;
                atSample = false;
                turn += offset;
            }
            spacing *= 0.25f;
        }
        if (best.separation > 0.0f)
        {
            continue;
        }
        if (atSample)
        {
            best.p = sampled.At(angles.cosine[k], angles.sine[k]);
            best.q = ring.NearestPoint(best.p);
        }
        normals[count] = best.p - best.q;
        normals[count].Normalize();
        points[count] = ContactPoint(best.p, a.tubeRadius, best.q, ring.tubeRadius);
        separations[count] = best.separation;
        ++count;
    }
    return count;
}
