#pragma once
// The benchmark's tables of frames with thrown balls: the split of a frame by
// body count, and the changes of the drawing path side by side.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/bench/FrameBench.h"

struct SFrameTableContext
{
    bool csv = false;
    std::string settings; // one line saying how the figures were made
};

// One block per path (a name and its rows).
void PrintBallFrames(std::FILE* out, const SFrameTableContext& context,
                     const std::vector<std::string>& paths,
                     const std::vector<std::vector<SBallFrameRow>>& rows);

// Whole frames of the same world under each tuning, the first being the
// reference for the ratios.
void PrintTuningComparison(std::FILE* out, const SFrameTableContext& context, int bodies,
                           const std::vector<std::string>& names,
                           const std::vector<STimingSummary>& frames);
