#pragma once
// Which body of the world a ray from the viewer meets first, for following or
// grabbing a body with the mouse: every visible shape of every body is tried
// (bodies whose bounding sphere the ray misses are passed over), the nearest
// hit wins. The pusher is never picked.

#include <optional>

#include "dynamics/Vector.h"
#include "shapes/RayHit.h"

class CWorld;

struct SBodyPick
{
    int index = -1;       // in the world's body list
    double distance = 0.; // along the ray
    CVector point;        // world coordinates
    CVector localPoint;   // the same point in the body's own coordinates
};

std::optional<SBodyPick> PickBody(const CWorld& world, const SRay& ray);
