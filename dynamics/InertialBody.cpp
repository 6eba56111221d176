#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/Random.h"
#include "shapes/Shape.h"
#include "world/World.h"

namespace
{
// A colour channel in [0.5, 0.9] from one draw.
float RandomChannel()
{
    return 0.5f + 0.4f * static_cast<float>(Random()) / 32767.0f;
}

CVector Normalized(CVector v)
{
    v.Normalize();
    return v;
}
} // namespace

CInertialBody::CInertialBody(CWorld* world) : CBody(world)
{
    // Three separate draws, red first.
    const float red = RandomChannel();
    const float green = RandomChannel();
    const float blue = RandomChannel();
    diffuse[0] = red;
    diffuse[1] = green;
    diffuse[2] = blue;
    diffuse[3] = 1.0f;
    for (int i = 0; i < 3; ++i)
    {
        ambient[i] = 0.4f * diffuse[i];
        specular[i] = 0.8f;
    }
    ambient[3] = 1.0f;
    specular[3] = 1.0f;
    shininess = 20.0f;
}

void CInertialBody::Prepare()
{
    mass = 0.0f;
    CVector weighted = kZeroVector;
    for (const auto& shape : shapes)
    {
        mass += shape->mass;
        weighted += shape->mass * shape->matrix.Translation();
    }
    // An infinite mass would give inf / inf; a massless body would give 0 / 0
    // and carry NaN into every shape position. Both keep the origin instead.
    CVector centre = kZeroVector;
    if (mass != kInfinity && mass != 0.0f)
    {
        centre = weighted / mass;
    }

    moments = kZeroVector;
    for (const auto& shape : shapes)
    {
        shape->matrix.SetTranslation(shape->matrix.Translation() - centre);
    }
    for (const auto& shape : shapes)
    {
        moments += shape->BodyInertia();
    }
    CBody::Prepare();
}

void CInertialBody::ClearForces()
{
    force = mass * world->Gravity(Position());
    torque = kZeroVector;
    contactCount = 0;
}

void CInertialBody::Integrate(float h)
{
    const float damping = 1.0f - h / 30.0f;
    linearVelocity = linearVelocity * damping;
    angularVelocity = angularVelocity * damping;

    // Gravity is averaged too: a body on n points feels 1/n of its weight.
    if (contactCount == 0)
    {
        contactCount = 1;
    }
    const float n = static_cast<float>(contactCount);
    force /= n;
    torque /= n;

    linearVelocity += (force / mass) * h;
    matrix.SetTranslation(Position() + linearVelocity * h);

    // The inverse still belongs to the orientation before this step.
    const CVector tau = inverse.TransformDirection(torque);
    const float i1 = moments.x;
    const float i2 = moments.y;
    const float i3 = moments.z;
    CVector& w = angularVelocity;
    w.x += h * ((i2 - i3) * w.y * w.z + tau.x) / i1;
    w.y += h * ((i3 - i1) * w.x * w.z + tau.y) / i2;
    w.z += h * ((i1 - i2) * w.x * w.y + tau.z) / i3;

    worldAngularVelocity = matrix.TransformDirection(angularVelocity);

    const CVector z = matrix.Column(2);
    const CVector x = matrix.Column(0);
    const CVector newZ = z + h * Cross(worldAngularVelocity, z);
    const CVector newX = x + h * Cross(worldAngularVelocity, x);
    SetAxes(newZ, newX);
    matrix.InvertAffine(inverse);
}

void CInertialBody::SetAxes(const CVector& zAxis, const CVector& xAxis)
{
    const CVector y = Normalized(Cross(zAxis, xAxis));
    matrix.SetColumn(2, Normalized(zAxis));
    matrix.SetColumn(1, y);
    matrix.SetColumn(0, Normalized(Cross(y, zAxis)));
}
