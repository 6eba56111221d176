#pragma once
// A plane n . p + d = 0 with unit normal n; the signed distance is positive on
// the side the normal points to (the inside of the playing area for the walls).

#include "dynamics/Vector.h"

struct CPlane
{
    CVector normal;
    float d = 0.0f;

    static constexpr CPlane FromPointNormal(const CVector& point, const CVector& unitNormal)
    {
        CPlane plane;
        plane.normal = unitNormal;
        plane.d = -Dot(point, unitNormal);
        return plane;
    }

    constexpr float Distance(const CVector& p) const { return Dot(normal, p) + d; }
};
