#pragma once
// Timing of whole frames as the demo draws them: clear, CWorld::Draw, and a
// glFinish in place of the buffer swap (the headless framebuffer has nothing
// to swap, and the software renderer only finishes its work when asked). The
// caller provides the current context, its projection and start state, and
// the three textures.

#include <cstdint>

#include "tools/bench/Statistics.h"

struct SDrawSettings
{
    int frames = 60;          // timed frames per configuration
    double warmSeconds = 1.0; // simulated seconds before the first frame
    uint32_t seed = 1;
};

// Microseconds per frame of one scene with the given shadow mode (0 none, 1
// fake, 2 true) and environment mapping (0 off, 1 on). Between frames the
// world advances by a sixtieth of a second, untimed, as it would at 60 frames
// per second.
STimingSummary TimeFrames(int scene, int shadowMode, int environmentMapping,
                          const SDrawSettings& settings);
