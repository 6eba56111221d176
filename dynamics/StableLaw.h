#pragma once
// The Stable model's contact law: the penalty spring and damper of the
// Classic law along the normal, and a friction that holds a resting contact
// still. Along the contact a stiff spring pulls the touching points back
// towards where they began to stick; when that spring would pull harder than
// Coulomb friction allows, the contact slides and feels exactly the Classic
// friction, and the spring's anchor slides along with it.

#include "dynamics/ContactAnchor.h"
#include "dynamics/FastSqrt.h"
#include "dynamics/Vector.h"

// The sticking spring's stiffness and damping, as parts of the normal
// spring's stiffness; the angular springs of rolling and spinning take the
// same figures per radian. The spring holds a resting ball within about 0.02 of
// where it stopped; the damping keeps it from ringing while the step stays
// stable for a ball, whose contact point moves 3.5 times as easily as its
// centre.
inline constexpr float kStickStiffnessShare = 0.25f;
inline constexpr float kStickDampingPerStiffness = 0.0015f;
// Units per second: a contact that opens sliding faster than this slides.
inline constexpr float kFreshSlidingSpeed = 1.0f;
// The most torque against two bodies' rolling on each other, per unit of
// the normal spring's force: a lever of 0.2 world units. Enough to hold a
// log rolling on the logs below and a disk on its bed of balls; a ball
// struck along the floor meets none of it.
inline constexpr float kRollingResistance = 0.2f;
// The same against rolling on the floor and the walls, a quarter as much:
// enough to settle a roly-poly toy that would otherwise rock on for ever,
// little enough that a pushed ball rolls about as far as it always did.
inline constexpr float kPlaneRollingResistance = 0.05f;

// The force on the first side of a contact penetrating by -depth along the
// unit normal n, with that side's velocity v relative to the other, over a
// step of h seconds. spring receives the normal spring's magnitude.
inline CVector StablePenaltyForce(float depth, const CVector& n, const CVector& v, float k, float c,
                                  float mu, float h, SContactAnchor& anchor, float& spring)
{
    spring = -depth * k;
    CVector f = spring * n;
    const float vn = Dot(v, n);
    f = f - (c * vn) * n;

    const CVector tangent = v - vn * n;
    const float stiffness = kStickStiffnessShare * k;
    const float limit = spring * mu;
    if (anchor.fresh)
    {
        // A contact that opens sliding slides from its first step, as under
        // Classic: its spring starts stretched to the limit along the sliding.
        // One that opens nearly at rest starts slack.
        const float sliding = FastSqrt(tangent.LengthSquared());
        if (sliding > kFreshSlidingSpeed)
        {
            anchor.slip = (limit / stiffness / sliding) * tangent;
        }
    }
    // The stretch is kept in the tangent plane as the normal turns.
    CVector slip = anchor.slip - Dot(anchor.slip, n) * n + h * tangent;
    CVector friction = -(stiffness * slip) - (kStickDampingPerStiffness * k) * tangent;
    if (friction.LengthSquared() > limit * limit)
    {
        // Sliding: the Classic friction against the sliding velocity, or
        // against the spring's pull when the point has just stopped.
        const float sliding = FastSqrt(tangent.LengthSquared());
        CVector direction = -friction;
        if (sliding != 0.0f)
        {
            direction = tangent / sliding;
        }
        else
        {
            direction.Normalize();
        }
        friction = -(limit * direction);
        slip = (limit / stiffness) * direction;
    }
    anchor.slip = slip;
    anchor.touched = true;
    return f + friction;
}

// The torque on the first side of a contact that resists rolling on the
// other (w: the first's angular velocity less the other's), held like the
// friction: an angular spring up to the limit, a torque proportional to the
// normal spring's magnitude, then that torque against the rolling.
inline CVector StableRollingTorque(const CVector& n, const CVector& w, float k, float limit,
                                   float h, SContactAnchor& anchor)
{
    const CVector rolling = w - Dot(w, n) * n;
    CVector angle = anchor.roll - Dot(anchor.roll, n) * n + h * rolling;
    const float stiffness = kStickStiffnessShare * k;
    CVector torque = -(stiffness * angle) - (kStickDampingPerStiffness * k) * rolling;
    if (torque.LengthSquared() > limit * limit)
    {
        const float speed = FastSqrt(rolling.LengthSquared());
        CVector direction = -torque;
        if (speed != 0.0f)
        {
            direction = rolling / speed;
        }
        else
        {
            direction.Normalize();
        }
        torque = -(limit * direction);
        angle = (limit / stiffness) * direction;
    }
    anchor.roll = angle;
    return torque;
}

// The spinning friction of a plane contact about its normal: an angular
// spring towards the turn at which the contact began to stick, up to the
// Classic spinning friction's size (limit), then that torque against the
// spin. spin is the body's angular velocity about the normal.
inline float StableSpinningTorque(float spin, float k, float limit, float h, SContactAnchor& anchor)
{
    float twist = anchor.twist + h * spin;
    const float stiffness = kStickStiffnessShare * k;
    float torque = -(stiffness * twist) - (kStickDampingPerStiffness * k) * spin;
    if (torque > limit || torque < -limit)
    {
        const float sign =
            spin > 0.0f ? 1.0f : (spin < 0.0f ? -1.0f : (torque < 0.0f ? 1.0f : -1.0f));
        torque = -sign * limit;
        twist = sign * limit / stiffness;
    }
    anchor.twist = twist;
    return torque;
}
