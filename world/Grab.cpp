#include "world/Grab.h"

#include <cmath>

#include "dynamics/Body.h"

CVector GrabbedPoint(const SGrab& grab)
{
    return grab.body->matrix.TransformPoint(grab.localPoint);
}

void ApplyGrab(const SGrab& grab, const CVector& g)
{
    CInertialBody& body = *grab.body;
    const CVector point = GrabbedPoint(grab);
    const CVector arm = point - body.Position();
    const CVector velocity = Cross(body.worldAngularVelocity, arm) + body.linearVelocity;
    // Per unit mass, so that every body answers the pointer alike.
    const float stiffness = kGrabFrequency * kGrabFrequency;
    const float damping = 2.0f * kGrabDampingRatio * kGrabFrequency;
    CVector f = body.mass * (stiffness * (grab.target - point) - damping * velocity);
    const float limit = kGrabForceLimit * body.mass * std::sqrt(g.LengthSquared());
    const float size = std::sqrt(f.LengthSquared());
    if (size > limit)
    {
        f = (limit / size) * f;
    }
    body.force += f;
    body.torque += Cross(arm, f);
}

std::optional<CVector> RayOnPlane(const SRay& ray, const CVector& through, const CVector& normal)
{
    const double facing = static_cast<double>(Dot(ray.direction, normal));
    if (std::fabs(facing) < 1e-6)
    {
        return std::nullopt;
    }
    const double t = static_cast<double>(Dot(through - ray.origin, normal)) / facing;
    if (!(t > 0.0))
    {
        return std::nullopt;
    }
    return ray.origin + static_cast<float>(t) * ray.direction;
}
