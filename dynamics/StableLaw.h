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
// The same against rolling on the floor and the walls, two fifths as much:
// enough to settle a roly-poly toy within seconds where it would otherwise
// rock on for ever (a toy may then lean by up to about 0.1 radian), little
// enough that a pushed ball rolls about as far as it always did.
inline constexpr float kPlaneRollingResistance = 0.08f;

// A spring across the normal n that holds a contact where it began to
// stick: its stretch is the kept one, turned into the plane across n as the
// normal turns, plus this step's motion (rate, across n, over h). Returns the
// spring's pull with its damping; past the limit, the limit against the
// motion (or against the pull when there is no motion), with the stretch
// let go to match. stretch receives the stretch to keep.
// Inlined: called two or three times for every contact, with most of its
// arguments already in registers.
[[gnu::always_inline]] inline CVector HeldSpring(const CVector& kept, const CVector& rate,
                                                 const CVector& n, float stiffness, float damping,
                                                 float limit, float h, CVector& stretch)
{
    stretch = kept - Dot(kept, n) * n + h * rate;
    CVector pull = -(stiffness * stretch) - damping * rate;
    if (pull.LengthSquared() > limit * limit)
    {
        const float speed = FastSqrt(rate.LengthSquared());
        CVector direction = -pull;
        if (speed != 0.0f)
        {
            direction = rate / speed;
        }
        else
        {
            direction.Normalize();
        }
        pull = -(limit * direction);
        stretch = (limit / stiffness) * direction;
    }
    return pull;
}

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
    CVector slip;
    const CVector friction = HeldSpring(anchor.slip, tangent, n, stiffness,
                                        kStickDampingPerStiffness * k, limit, h, slip);
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
    CVector angle;
    const CVector torque = HeldSpring(anchor.roll, rolling, n, kStickStiffnessShare * k,
                                      kStickDampingPerStiffness * k, limit, h, angle);
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
