#include "world/BodyPick.h"

#include <cmath>

#include "dynamics/Body.h"
#include "shapes/Shape.h"
#include "world/World.h"

namespace
{
// Whether the ray passes within radius of the centre, ahead of its start.
bool RayNearSphere(const SRay& ray, const CVector& centre, float radius)
{
    const double dx = static_cast<double>(centre.x) - ray.origin.x;
    const double dy = static_cast<double>(centre.y) - ray.origin.y;
    const double dz = static_cast<double>(centre.z) - ray.origin.z;
    const double along = dx * ray.direction.x + dy * ray.direction.y + dz * ray.direction.z;
    const double squared = dx * dx + dy * dy + dz * dz;
    const double r = radius;
    if (squared <= r * r)
    {
        return true;
    }
    return along >= 0.0 && squared - along * along <= r * r;
}
} // namespace

std::optional<SBodyPick> PickBody(const CWorld& world, const SRay& ray)
{
    std::optional<SBodyPick> best;
    for (int i = 0; i < world.BodyCount(); ++i)
    {
        const CInertialBody& body = *world.Body(i);
        // The bounding radius is about the body origin; a little slack covers
        // its single-precision rounding.
        if (!RayNearSphere(ray, body.Position(), body.boundingRadius * 1.001f + 1e-3f))
        {
            continue;
        }
        for (const auto& shape : body.shapes)
        {
            if (!shape->visible)
            {
                continue;
            }
            const std::optional<double> hit = RayHitShape(*shape, ray);
            if (hit && (!best || *hit < best->distance))
            {
                SBodyPick pick;
                pick.index = i;
                pick.distance = *hit;
                pick.point = ray.origin + ray.direction * static_cast<float>(*hit);
                best = pick;
            }
        }
    }
    if (best)
    {
        best->localPoint = world.Body(best->index)->inverse.TransformPoint(best->point);
    }
    return best;
}
