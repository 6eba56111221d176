// Cylinder against cylinder: each cylinder is its core segment on the axis
// swept by a sphere of its radius. The closest points of the two segments come
// from the closest points of the two axis lines, then a fixed order of clamps
// and projections; that order decides which end is tried first, so the result
// is not exactly symmetric in its arguments.

#include "dynamics/Constants.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Plane.h"
#include "shapes/Shape.h"
#include "shapes/ShapeContact.h"

namespace
{

// A long cylinder's core stops a radius short of each end face, so that its
// end hemispheres reach the face centres; a short one keeps the full length.
float CoreHalfLength(const CCylinder& cylinder)
{
    return cylinder.radius < cylinder.halfLength ? cylinder.halfLength - cylinder.radius
                                                 : cylinder.halfLength;
}

bool IsZero(const CVector& v)
{
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

bool Inside(float t, float half)
{
    return -half < t && t < half;
}

float Sign(float v)
{
    return v > 0.0f ? 1.0f : (v < 0.0f ? -1.0f : 0.0f);
}

} // namespace

float CylinderCylinderContact(const CCylinder& a, const CCylinder& b, CVector& point,
                              CVector& normal)
{
    const float a1 = CoreHalfLength(a);
    const float a2 = CoreHalfLength(b);
    const CVector axis1 = a.WorldAxis();
    const CVector axis2 = b.WorldAxis();

    // Parallel axes have no unique closest points; the pair is not tested.
    // Upright cylinders standing side by side end here, before the centres
    // are placed.
    CVector n = Cross(axis1, axis2);
    if (IsZero(n))
    {
        return kInfinity;
    }
    const CVector c1 = a.WorldCentre();
    const CVector c2 = b.WorldCentre();
    n.Normalize();
    const CPlane m = CPlane::FromPointNormal(c2, n);

    const CVector n2 = Cross(axis2, n);
    if (IsZero(n2))
    {
        return kInfinity;
    }
    const CPlane p2 = CPlane::FromPointNormal(c2, n2);

    // Line 1 against the plane that holds line 2 and the common normal.
    const float d1 = p2.Distance(c1);
    const float d2 = p2.Distance(c1 + axis1);
    if (d1 == d2)
    {
        return kInfinity;
    }
    CVector x = (d2 * c1 - d1 * (c1 + axis1)) / (d2 - d1);
    CVector y = x - m.Distance(x) * n;

    const float t1 = Dot(axis1, x - c1);
    const float t2 = Dot(axis2, y - c2);
    if (!(Inside(t1, a1) && Inside(t2, a2)))
    {
        if (t1 < -a1)
        {
            x = c1 - a1 * axis1;
        }
        else if (t1 > a1)
        {
            x = c1 + a1 * axis1;
        }
        if (t2 < -a2)
        {
            y = c2 - a2 * axis2;
        }
        else if (t2 > a2)
        {
            y = c2 + a2 * axis2;
        }

        const float u2 = Dot(axis2, x - c2);
        if (Inside(u2, a2))
        {
            y = c2 + u2 * axis2;
        }
        else
        {
            const float u1 = Dot(axis1, y - c1);
            if (Inside(u1, a1))
            {
                x = c1 + u1 * axis1;
            }
            else
            {
                x = c1 + Sign(u1) * a1 * axis1;
                y = c2 + Sign(u2) * a2 * axis2;
            }
        }
    }

    const CVector d = x - y;
    const float depth = FastSqrt(d.LengthSquared()) - a.radius - b.radius;
    normal = d;
    normal.Normalize();
    point = (b.radius * x + a.radius * y) / (a.radius + b.radius);
    return depth;
}
