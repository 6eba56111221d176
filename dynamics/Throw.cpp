#include "dynamics/Body.h"
#include "dynamics/Constants.h"
#include "dynamics/Random.h"

namespace
{
// +1 or -1 from one draw.
float RandomSign()
{
    return Random() < 16383 ? 1.0f : -1.0f;
}

struct SThrow
{
    CVector position;
    CVector axis; // body z axis, normalised
    CVector linearVelocity;
    CVector angularVelocity; // body coordinates
};

// Every draw goes into its own variable, in the fixed order of the styles'
// columns, so that a seed always gives the same throw.
SThrow UprightSpin(float r)
{
    SThrow t;
    const float px = 20.0f * RandomSigned();
    const float py = 20.0f * RandomSigned();
    const float pz = r + 0.5f * r * RandomUnit();
    t.position = CVector(px, py, pz);
    const float ax = 0.5f * RandomSigned();
    const float ay = 0.5f * RandomSigned();
    const float az = RandomUnit() >= 0.8f ? -1.0f : 1.0f;
    t.axis = CVector(ax, ay, az);
    const float vx = 30.0f * RandomSigned();
    const float vy = 30.0f * RandomSigned();
    t.linearVelocity = CVector(vx, vy, 0.0f);
    const float sign = RandomSign();
    const float turns = RandomUnit();
    t.angularVelocity = CVector(0.0f, 0.0f, sign * (10.0f + 20.0f * turns) * kTwoPi);
    t.axis.Normalize();
    return t;
}

SThrow Tumble(float r)
{
    SThrow t;
    const float px = 20.0f * RandomSigned();
    const float py = 20.0f * RandomSigned();
    const float pz = r + r * RandomUnit();
    t.position = CVector(px, py, pz);
    const float ax = RandomSigned();
    const float ay = RandomSigned();
    const float az = RandomSigned();
    t.axis = CVector(ax, ay, az);
    t.axis.Normalize();
    const float vx = 50.0f * RandomSigned();
    const float vy = 50.0f * RandomSigned();
    const float vz = 200.0f * RandomUnit();
    t.linearVelocity = CVector(vx, vy, vz);
    const float rate = kTwoPi * 5.0f * RandomUnit();
    const float wx = RandomSigned();
    const float wy = RandomSigned();
    const float wz = RandomSigned();
    t.angularVelocity = rate * CVector(wx, wy, wz);
    return t;
}

SThrow AxisSpin(float r)
{
    SThrow t;
    const float px = 20.0f * RandomSigned();
    const float py = 20.0f * RandomSigned();
    const float pz = r + 0.5f * r * RandomUnit();
    t.position = CVector(px, py, pz);
    const float ax = RandomSigned();
    const float ay = RandomSigned();
    const float az = 0.1f * RandomSigned();
    t.axis = CVector(ax, ay, az);
    t.axis.Normalize();
    const float vx = 50.0f * RandomSigned();
    const float vy = 50.0f * RandomSigned();
    const float vz = 70.0f * RandomUnit();
    t.linearVelocity = CVector(vx, vy, vz);
    const float sign = RandomSign();
    const float turns = RandomUnit();
    t.angularVelocity = (sign * (10.0f + 10.0f * turns) * kTwoPi) * t.axis;
    return t;
}
} // namespace

void CInertialBody::ThrowRandomly()
{
    const float style = RandomUnit();
    const SThrow t = style < 0.6f   ? UprightSpin(boundingRadius)
                     : style < 0.8f ? Tumble(boundingRadius)
                                    : AxisSpin(boundingRadius);

    angularVelocity = t.angularVelocity;
    linearVelocity = t.linearVelocity;
    matrix.SetTranslation(t.position);

    const CVector& a = t.axis;
    CVector y = Cross(a, Cross(a, kAxisY));
    y.Normalize();
    CVector x = Cross(y, a);
    x.Normalize();
    matrix.SetColumn(2, a);
    matrix.SetColumn(1, y);
    matrix.SetColumn(0, x);

    worldAngularVelocity = matrix.TransformDirection(angularVelocity);
    matrix.InvertAffine(inverse);
}
