#pragma once
// Where a ray from the viewer first meets a shape's surface, for picking a
// body with the mouse. Exact for spheres and cylinders (roots of the
// quadratics, caps included); a torus is marched along its exact distance
// field. Worked in double precision: picking never feeds back into the
// simulation's arithmetic.

#include <optional>

#include "dynamics/Vector.h"

class CShape;

// A ray in world coordinates; direction of length 1.
struct SRay
{
    CVector origin;
    CVector direction;
};

// Distance along the ray to the first point of the shape's surface, at least
// 0; 0 when the ray starts inside the shape; none when it misses.
std::optional<double> RayHitShape(const CShape& shape, const SRay& ray);
