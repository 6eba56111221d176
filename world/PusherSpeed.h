#pragma once
// The fastest the pusher moves. The pusher is carried by the hand, not
// simulated: nothing slows it, and driven fast enough it presses a body into
// the floor or a wall deeper than the contact springs can push back, and the
// body ends beyond the plane (pushed straight down onto the floor a ball
// first ends below it at about 550 units per second, against a wall at about
// 600). The bound keeps every push short of that; a quick flick of the mouse
// asks for more and gets the bound.

#include <cmath>

#include "dynamics/Vector.h"

// World units per second.
inline constexpr float kMaxPusherSpeed = 400.0f;

// v, shortened along its own direction to kMaxPusherSpeed when faster.
inline CVector LimitPusherSpeed(const CVector& v)
{
    const float speedSquared = v.LengthSquared();
    if (!(speedSquared > kMaxPusherSpeed * kMaxPusherSpeed))
        return v;
    return v * (kMaxPusherSpeed / std::sqrt(speedSquared));
}
