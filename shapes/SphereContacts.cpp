// The five pair tests that involve a sphere. Outputs are written only for a
// separation of 0 or less, so a caller never sees a half-computed normal.

#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"
#include "shapes/ShapeContact.h"

namespace
{

float Length(const CVector& v)
{
    return FastSqrt(v.LengthSquared());
}

CVector Normalized(CVector v)
{
    v.Normalize();
    return v;
}

// The point of the torus's ring of tube centres nearest to p; the torus centre
// when p lies on the axis, where every ring point is equally near.
CVector NearestRingPoint(const CTorus& torus, const CVector& p)
{
    const CVector centre = torus.WorldCentre();
    const CVector axis = torus.WorldAxis();
    const CVector across = Normalized(Cross(Cross(axis, p - centre), axis));
    return centre + torus.ringRadius * across;
}

// Shared by both argument orders so that they see the same foot point.
CVector AxisFoot(const CCylinder& cylinder, const CVector& sphereCentre)
{
    const CVector centre = cylinder.WorldCentre();
    const CVector axis = cylinder.WorldAxis();
    return centre + Dot(axis, sphereCentre - centre) * axis;
}

} // namespace

float SphereSphereContact(const CSphere& a, const CSphere& b, CVector& point, CVector& normal)
{
    const CVector ca = a.WorldCentre();
    const CVector cb = b.WorldCentre();
    const CVector d = ca - cb;
    const float s = Length(d) - a.radius - b.radius;
    if (s > 0.0f)
    {
        return s;
    }
    point = cb + d * b.radius / (a.radius + b.radius);
    normal = Normalized(d);
    return s;
}

// The cylinder counts as the intersection of a slab and an infinite bar: the
// larger of the axial and radial separations decides, ties going axial.
float SphereCylinderContact(const CSphere& a, const CCylinder& b, CVector& point, CVector& normal)
{
    const CVector s = a.WorldCentre();
    const CVector foot = AxisFoot(b, s);
    const CVector radial = s - foot;
    const float sr = Length(radial) - a.radius - b.radius;
    if (sr > 0.0f)
    {
        return sr;
    }
    const CVector axial = foot - b.WorldCentre();
    const float sa = Length(axial) - a.radius - b.halfLength;
    if (sa > 0.0f)
    {
        return sa;
    }
    float result;
    if (sa >= sr)
    {
        normal = Normalized(axial);
        result = sa;
    }
    else
    {
        normal = Normalized(radial);
        result = sr;
    }
    point = s - a.radius * normal;
    return result;
}

float CylinderSphereContact(const CCylinder& a, const CSphere& b, CVector& point, CVector& normal)
{
    const CVector s = b.WorldCentre();
    const CVector foot = AxisFoot(a, s);
    const CVector radial = foot - s;
    const float sr = Length(radial) - b.radius - a.radius;
    if (sr > 0.0f)
    {
        return sr;
    }
    const CVector axial = a.WorldCentre() - foot;
    const float sa = Length(axial) - b.radius - a.halfLength;
    if (sa > 0.0f)
    {
        return sa;
    }
    float result;
    if (sa >= sr)
    {
        normal = Normalized(axial);
        result = sa;
    }
    else
    {
        normal = Normalized(radial);
        result = sr;
    }
    point = s + b.radius * normal;
    return result;
}

float SphereTorusContact(const CSphere& a, const CTorus& b, CVector& point, CVector& normal)
{
    const CVector s = a.WorldCentre();
    const CVector d = s - NearestRingPoint(b, s);
    const float separation = Length(d) - a.radius - b.tubeRadius;
    if (separation <= 0.0f)
    {
        normal = Normalized(d);
        point = s - a.radius * normal;
    }
    return separation;
}

float TorusSphereContact(const CTorus& a, const CSphere& b, CVector& point, CVector& normal)
{
    const CVector s = b.WorldCentre();
    const CVector d = NearestRingPoint(a, s) - s;
    const float separation = Length(d) - b.radius - a.tubeRadius;
    if (separation <= 0.0f)
    {
        normal = Normalized(d);
        point = s + b.radius * normal;
    }
    return separation;
}
