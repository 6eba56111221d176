#pragma once
// The benchmark's four tables, as aligned text for reading or as CSV (one
// block per table, each with its own header line, blocks separated by an empty
// line). Times in microseconds; the real-time factor is the simulated step of
// 0.002 s over the step's time.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/bench/PhysicsBench.h"

struct SSceneRow
{
    int scene = 0;
    std::string name;
    SStepTiming timing;
};

struct SBallRow
{
    int balls = 0; // thrown in on top of scene 0
    SStepTiming timing;
};

struct SSearchRow
{
    int balls = 0; // thrown in on top of scene 0
    SPairSearchTimings timings;
};

// Frames per second of one scene: [shadow mode 0..2][environment mapping 0..1].
struct SDrawRow
{
    int scene = 0;
    std::string name;
    STimingSummary frameMicros[3][2];
};

struct SReportContext
{
    bool csv = false;
    bool allPairs = false;
    std::string settings; // one line saying how the figures were made
};

void PrintScenes(std::FILE* out, const SReportContext& context, const std::vector<SSceneRow>& rows);
void PrintBalls(std::FILE* out, const SReportContext& context, const std::vector<SBallRow>& rows);
void PrintSearch(std::FILE* out, const SReportContext& context,
                 const std::vector<SSearchRow>& rows);
void PrintDrawing(std::FILE* out, const SReportContext& context, const std::vector<SDrawRow>& rows);
