#pragma once
// Frames of "Billiards 1" with thrown balls added as F5 adds them: where each
// millisecond of a frame goes (the physics of one frame at 60 frames per
// second, the clear, each drawing pass, the buffer swap) and what each added
// ball costs in memory. The caller provides the current context, its
// projection and start state, and the three textures.

#include <vector>

#include "render/DrawTuning.h"
#include "render/FramePasses.h"
#include "tools/bench/DrawBench.h"
#include "tools/bench/Statistics.h"

struct SBallFrameRow
{
    int bodies = 0;
    STimingSummary physics; // microseconds of the steps of one 60 Hz frame
    STimingSummary clear;   // microseconds, each part finished before the next
    STimingSummary passes[kFramePassCount];
    STimingSummary swap;        // headless: the glFinish that stands for the swap
    STimingSummary frame;       // microseconds of a whole frame drawn without pauses
    double residentBytes = 0.0; // the process's resident memory after the first frame
};

// One world grown through the body counts in order (ascending, the first at
// most the scene's own 7 bodies, which it then keeps), with the given shadow
// mode and environment mapping and the tuning set before the scene is built.
std::vector<SBallFrameRow> TimeBallFrames(const std::vector<int>& bodyCounts, int shadowMode,
                                          int environmentMapping, const SDrawTuning& tuning,
                                          const SDrawSettings& settings);

// Microseconds of whole frames (physics left out) for several tunings of the
// same world of the given body count, drawn in turn frame by frame so that the
// machine's load falls on all of them alike. One summary per tuning.
std::vector<STimingSummary> CompareTunings(int bodies, int shadowMode, int environmentMapping,
                                           const std::vector<SDrawTuning>& tunings,
                                           const SDrawSettings& settings);
