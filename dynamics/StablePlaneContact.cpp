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
        CVector point;
        float lever = 0.0f;
        const float depth = shape->StablePlaneContact(plane, point, lever);
        if (depth >= 0.0f)
        {
            continue;
        }
        const CVector arm = point - x;
        const CVector v = Cross(worldAngularVelocity, arm) + linearVelocity;
        SContactAnchor& anchor = Anchor(&plane, shapeIndex);
        float spring = 0.0f;
        const CVector f = StablePenaltyForce(depth, n, v, k, c, mu, h, anchor, spring);

        force += f;
        torque += Cross(arm, f);

        const float spin = Dot(n, worldAngularVelocity);
        const float limit = 0.1f * spring * lever * mu;
        torque += StableSpinningTorque(spin, k, limit, h, anchor) * n;
        torque += StableRollingTorque(n, worldAngularVelocity, k, kPlaneRollingResistance * spring,
                                      h, anchor);

        ++contactCount;
        if (contactLog != nullptr)
        {
            contactLog->Add(point, n, f, EContactKind::kPlane);
        }
    }
}
