#include "dynamics/Body.h"
#include "dynamics/PenaltyLaw.h"
#include "shapes/Shape.h"

void CInertialBody::CollidePlane(const CPlane& plane, float planeRestitution, float planeFriction)
{
    const CVector x = Position();
    if (plane.Distance(x) >= boundingRadius)
    {
        return;
    }

    const SPlaneCoefficients coefficients =
        PlaneCoefficients(mass, restitution, friction, planeRestitution, planeFriction);
    const float k = coefficients.stiffness;
    const float c = coefficients.damping;
    const float mu = coefficients.friction;

    const CVector& n = plane.normal;
    for (const auto& shape : shapes)
    {
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
        const float depth = shape->PlaneContact(plane, point, lever);
        if (depth >= 0.0f)
        {
            continue;
        }

        const CVector arm = point - x;
        const CVector v = Cross(worldAngularVelocity, arm) + linearVelocity;
        float spring = 0.0f;
        const CVector f = PenaltyForce(depth, n, v, k, c, mu, spring);

        force += f;
        torque += Cross(arm, f);

        const float spin = Dot(n, worldAngularVelocity);
        const float sign = spin > 0.0f ? 1.0f : (spin < 0.0f ? -1.0f : 0.0f);
        torque += (-0.1f * sign * spring * lever * mu) * n;

        ++contactCount;
        if (contactLog != nullptr)
        {
            contactLog->Add(point, n, f, EContactKind::kPlane);
        }
    }
}
