#include "dynamics/Body.h"
#include "dynamics/PenaltyLaw.h"
#include "dynamics/StableLaw.h"
#include "shapes/Shape.h"

void CInertialBody::CollidePlaneStable(const CPlane& plane, float planeRestitution,
                                       float planeFriction, float h)
{
    const CVector x = Position();
    if (plane.Distance(x) >= boundingRadius)
    {
        return;
    }

    const SPlaneCoefficients& coefficients = KeepPlaneCoefficients(
        planeCoefficients, mass, restitution, friction, planeRestitution, planeFriction);
    const float k = coefficients.stiffness;
    const float c = coefficients.damping;
    const float mu = coefficients.friction;

    const CVector& n = plane.normal;
    uint32_t index = 0;
    for (const auto& shape : shapes)
    {
        const uint32_t shapeIndex = index++;
        if (shape->collidable == 0)
        {
            continue;
        }
        const CVector centre = shape->WorldCentre();
        if (shape->boundingRadius < plane.Distance(centre))
        {
            continue;
        }
        CVector points[kMaxStablePlaneContacts];
        float depths[kMaxStablePlaneContacts] = {};
        float levers[kMaxStablePlaneContacts] = {};
        const int count = shape->StablePlaneContacts(plane, points, depths, levers);
        for (int i = 0; i < count; ++i)
        {
            if (depths[i] >= 0.0f)
            {
                continue;
            }
            const CVector arm = points[i] - x;
            const CVector v = Cross(worldAngularVelocity, arm) + linearVelocity;
            // Each point of a shape keeps an anchor of its own.
            SContactAnchor& anchor =
                Anchor(&plane, shapeIndex * kMaxStablePlaneContacts + static_cast<uint32_t>(i));
            float spring = 0.0f;
            const CVector f = StablePenaltyForce(depths[i], n, v, k, c, mu, h, anchor, spring);

            force += f;
            torque += Cross(arm, f);

            const float spin = Dot(n, worldAngularVelocity);
            const float limit = 0.1f * spring * levers[i] * mu;
            torque += StableSpinningTorque(spin, k, limit, h, anchor) * n;
            torque += StableRollingTorque(n, worldAngularVelocity, k,
                                          kPlaneRollingResistance * spring, h, anchor);

            ++contactCount;
        }
    }
}
