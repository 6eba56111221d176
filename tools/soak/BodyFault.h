#pragma once
// The soak's check of a world after a step: every state finite, and every
// body inside the playing area up to its bounding radius. It names the body
// and what is wrong, for a failure that a person can read.

#include <string>

class CWorld;

// The playing area: walls at x = +-40 and y = +-60, the floor at z = 0.
inline constexpr float kWallX = 40.0f;
inline constexpr float kWallY = 60.0f;

// What is wrong with one body after a step; body is its list index, -1 for
// the pusher, -2 for the camera (which steers the pusher).
struct SBodyFault
{
    int body = 0;
    std::string what;
};

// Every state finite; every body's centre within its bounding radius of the
// inside of the walls and above the floor. False when all is well.
bool FindBodyFault(const CWorld& world, SBodyFault& fault);
