#include <cmath>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"

namespace
{
// The square of the single-precision pi, as the damping law was tuned with it.
constexpr double kPiSquared = 9.869604950382893;
} // namespace

void CInertialBody::CollidePlane(const CPlane& plane, float planeRestitution, float planeFriction)
{
    const CVector x = Position();
    if (plane.Distance(x) >= boundingRadius)
    {
        return;
    }

    const float k = 40000.0f * mass;

    float e = (planeRestitution + restitution) / 2.0f;
    if (e > 1.0f)
    {
        e = 1.0f;
    }
    else if (e < 0.001f)
    {
        e = 0.001f;
    }

    // Critical-damping law of a spring of stiffness 40000 m for restitution e;
    // double precision here, since ln e is tiny near e = 1.
    const double g = std::log(static_cast<double>(e));
    const float c = static_cast<float>(4.0 * static_cast<double>(mass) *
                                       std::sqrt(40000.0 * g * g / (g * g + kPiSquared)));

    float mu = (planeFriction + friction) / 2.0f;
    if (mu < 0.0f)
    {
        mu = 0.0f;
    }
    else if (mu > 1.0f)
    {
        mu = 1.0f;
    }

    const CVector& n = plane.normal;
    for (const auto& shape : shapes)
    {
        if (shape->collidable == 0)
        {
            continue;
        }
        const CVector centre = matrix.TransformPoint(shape->matrix.Translation());
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
        const float spring = -depth * k;
        CVector f = spring * n;
        const float normalSpeed = Dot(v, n);
        f = f - (c * normalSpeed) * n;

        CVector slide = v - normalSpeed * n;
        const float slideSpeed = FastSqrt(slide.LengthSquared());
        if (slideSpeed != 0.0f)
        {
            slide = slide / slideSpeed;
        }
        // Full Coulomb friction at any sliding speed, from the spring alone.
        f = f - (spring * mu) * slide;

        force += f;
        torque += Cross(arm, f);

        const float spin = Dot(n, worldAngularVelocity);
        const float sign = spin > 0.0f ? 1.0f : (spin < 0.0f ? -1.0f : 0.0f);
        torque += (-0.1f * sign * spring * lever * mu) * n;

        ++contactCount;
    }
}
