#include "shapes/RayHit.h"

#include <cmath>

#include "shapes/Shape.h"

namespace
{
struct SVec
{
    double x, y, z;
};

SVec ToDouble(const CVector& v)
{
    return {v.x, v.y, v.z};
}
SVec Add(const SVec& a, const SVec& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
SVec Sub(const SVec& a, const SVec& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
SVec Scale(const SVec& a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
double Dot(const SVec& a, const SVec& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The ray in the shape's frame: start and direction split into the part along
// the symmetry axis and the part across it.
struct SAxial
{
    SVec across;     // start, across the axis
    double along;    // start, along the axis
    SVec acrossDir;  // direction, across the axis
    double alongDir; // direction, along the axis
};

SAxial Split(const CShape& shape, const SRay& ray)
{
    const SVec axis = ToDouble(shape.WorldAxis());
    const SVec start = Sub(ToDouble(ray.origin), ToDouble(shape.WorldCentre()));
    const SVec direction = ToDouble(ray.direction);
    SAxial split;
    split.along = Dot(start, axis);
    split.alongDir = Dot(direction, axis);
    split.across = Sub(start, Scale(axis, split.along));
    split.acrossDir = Sub(direction, Scale(axis, split.alongDir));
    return split;
}

// The smaller non-negative root of a t^2 + 2 b t + c = 0, if any.
std::optional<double> FirstRoot(double a, double b, double c)
{
    if (a <= 0.0)
    {
        return std::nullopt;
    }
    const double discriminant = b * b - a * c;
    if (discriminant < 0.0)
    {
        return std::nullopt;
    }
    const double root = std::sqrt(discriminant);
    const double near = (-b - root) / a;
    const double far = (-b + root) / a;
    if (near >= 0.0)
    {
        return near;
    }
    if (far >= 0.0)
    {
        return far;
    }
    return std::nullopt;
}

std::optional<double> HitSphere(const CSphere& sphere, const SRay& ray)
{
    const SVec start = Sub(ToDouble(ray.origin), ToDouble(sphere.WorldCentre()));
    const SVec direction = ToDouble(ray.direction);
    const double r = sphere.radius;
    const double c = Dot(start, start) - r * r;
    if (c <= 0.0)
    {
        return 0.0;
    }
    return FirstRoot(Dot(direction, direction), Dot(start, direction), c);
}

std::optional<double> HitCylinder(const CCylinder& cylinder, const SRay& ray)
{
    const SAxial s = Split(cylinder, ray);
    const double r = cylinder.radius;
    const double h = cylinder.halfLength;
    if (Dot(s.across, s.across) <= r * r && std::fabs(s.along) <= h)
    {
        return 0.0;
    }
    std::optional<double> best;
    const auto keep = [&](double t)
    {
        if (t >= 0.0 && (!best || t < *best))
        {
            best = t;
        }
    };
    // The side: the infinite cylinder's roots, kept between the caps.
    const double a = Dot(s.acrossDir, s.acrossDir);
    const double b = Dot(s.across, s.acrossDir);
    const double c = Dot(s.across, s.across) - r * r;
    if (a > 0.0)
    {
        const double discriminant = b * b - a * c;
        if (discriminant >= 0.0)
        {
            const double root = std::sqrt(discriminant);
            for (const double t : {(-b - root) / a, (-b + root) / a})
            {
                if (std::fabs(s.along + t * s.alongDir) <= h)
                {
                    keep(t);
                }
            }
        }
    }
    // The caps: the planes at +-h, kept inside the rim.
    if (s.alongDir != 0.0)
    {
        for (const double cap : {h, -h})
        {
            const double t = (cap - s.along) / s.alongDir;
            const SVec at = Add(s.across, Scale(s.acrossDir, t));
            if (Dot(at, at) <= r * r)
            {
                keep(t);
            }
        }
    }
    return best;
}

std::optional<double> HitTorus(const CTorus& torus, const SRay& ray)
{
    const SAxial s = Split(torus, ray);
    const double ring = torus.ringRadius;
    const double tube = torus.tubeRadius;
    const auto distance = [&](double t)
    {
        const SVec across = Add(s.across, Scale(s.acrossDir, t));
        const double along = s.along + t * s.alongDir;
        const double fromRing = std::sqrt(Dot(across, across)) - ring;
        return std::sqrt(fromRing * fromRing + along * along) - tube;
    };
    if (distance(0.0) <= 0.0)
    {
        return 0.0;
    }
    // March no further than past the torus's bounding sphere; the field is an
    // exact distance, so no step passes through the surface.
    const double start = std::sqrt(Dot(s.across, s.across) + s.along * s.along);
    const double limit = start + ring + tube;
    const double close = 1e-6 * (ring + tube);
    double t = 0.0;
    for (int i = 0; i < 4096 && t <= limit; ++i)
    {
        const double d = distance(t);
        if (d <= close)
        {
            return t;
        }
        t += d;
    }
    return std::nullopt;
}
} // namespace

std::optional<double> RayHitShape(const CShape& shape, const SRay& ray)
{
    if (const auto* sphere = dynamic_cast<const CSphere*>(&shape))
    {
        return HitSphere(*sphere, ray);
    }
    if (const auto* cylinder = dynamic_cast<const CCylinder*>(&shape))
    {
        return HitCylinder(*cylinder, ray);
    }
    if (const auto* torus = dynamic_cast<const CTorus*>(&shape))
    {
        return HitTorus(*torus, ray);
    }
    return std::nullopt;
}
