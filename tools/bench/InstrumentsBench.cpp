#include "tools/bench/InstrumentsBench.h"

#include <GL/gl.h>

#include <chrono>
#include <vector>

#include "app/FrameStatistics.h"
#include "dynamics/Random.h"
#include "render/Diagnostics.h"
#include "tools/bench/Statistics.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
using Clock = std::chrono::steady_clock;

double MicrosSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Scene 0 with this many balls thrown in and landed: many resting contacts.
constexpr int kPileBalls = 1000;

struct SCase
{
    const char* name;
    int scene;
    int balls;
};

constexpr SCase kCases[] = {
    {"Billiards 1", 0, 0},
    {"Tower", 7, 0},
    {"Dominoes", 9, 0},
    {"1000 balls", 0, kPileBalls},
};

void Build(CWorld& world, const SCase& c, uint32_t seed)
{
    SeedRandom(seed);
    world.sceneIndex = c.scene;
    world.Initialize();
    world.shadowMode = 2;
    for (int i = 0; i < c.balls; ++i)
        world.AddBall();
    for (int i = 0; i < 1000; ++i) // two seconds to land and settle
        world.Step(kSimulationStep);
}

// The cost of the statistics per frame as the loop pays it while the panel
// is shown: three readings of the clock (before the physics, between the
// physics and the drawing, after the drawing) and the figures handed to the
// panel; microseconds, median of many.
double StatisticsMicrosPerFrame()
{
    CFrameStatistics statistics;
    std::vector<double> micros;
    constexpr int kBatches = 200;
    constexpr int kFramesPerBatch = 1000;
    for (int batch = 0; batch < kBatches; ++batch)
    {
        const Clock::time_point start = Clock::now();
        for (int frame = 0; frame < kFramesPerBatch; ++frame)
        {
            const Clock::time_point physics = Clock::now();
            const Clock::time_point draw = Clock::now();
            const Clock::time_point end = Clock::now();
            SFrameFigures figures;
            figures.bodies = frame;
            figures.steps = 8;
            figures.physicsMilliseconds =
                std::chrono::duration<double, std::milli>(draw - physics).count();
            figures.drawMilliseconds =
                std::chrono::duration<double, std::milli>(end - draw).count();
            figures.frameMilliseconds = 16.0;
            figures.simulatedSeconds = 0.016;
            statistics.AddFrame(figures);
        }
        micros.push_back(MicrosSince(start) / kFramesPerBatch);
    }
    return Summarize(micros).median;
}
} // namespace

void PrintInstrumentCosts(std::FILE* out, bool csv, int frames, uint32_t seed)
{
    const double statistics = StatisticsMicrosPerFrame();
    if (csv)
        std::fprintf(out, "case,step_us,step_recording_us,step_ratio,frame_us,frame_points_us,"
                          "frame_ratio,statistics_us_per_frame,statistics_share_of_8_steps\n");
    else
    {
        std::fprintf(out,
                     "\nInstruments: cost beside the same world without them (seed %u, %d "
                     "frames and 8 x %d steps a case, true shadows, medians)\n",
                     seed, frames, frames);
        std::fprintf(out, "statistics bookkeeping: %.3f us a frame\n", statistics);
        std::fprintf(out, "%-12s %10s %12s %7s %10s %12s %7s %14s\n", "case", "step us",
                     "recording", "ratio", "frame us", "with points", "ratio", "stats/8 steps");
    }
    for (const SCase& c : kCases)
    {
        // One world, so that memory and state are the same for both: its
        // frames alternate with and without recording, and each picture of
        // a recorded frame is drawn with its points, then without.
        CWorld world;
        Build(world, c, seed);
        std::vector<double> stepPlain;
        std::vector<double> stepWatched;
        std::vector<double> framePlain;
        std::vector<double> frameWatched;
        for (int f = 0; f < 2 * frames; ++f)
        {
            world.recordContacts = f % 2 == 1;
            for (int s = 0; s < 8; ++s)
            {
                const Clock::time_point start = Clock::now();
                world.Step(kSimulationStep);
                (world.recordContacts ? stepWatched : stepPlain).push_back(MicrosSince(start));
            }
            if (!world.recordContacts)
                continue;
            for (const bool points : {true, false})
            {
                if (!points)
                {
                    world.recordContacts = false;
                    ClearDiagnosticMarkers();
                }
                const Clock::time_point start = Clock::now();
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
                world.Draw();
                glFinish();
                (points ? frameWatched : framePlain).push_back(MicrosSince(start));
            }
        }
        ClearDiagnosticMarkers();
        const double step = Summarize(stepPlain).median;
        const double stepRecording = Summarize(stepWatched).median;
        const double frame = Summarize(framePlain).median;
        const double framePoints = Summarize(frameWatched).median;
        // The bookkeeping is paid once a frame; a frame runs about eight steps.
        const double share = statistics / (8.0 * step);
        if (csv)
            std::fprintf(out, "%s,%.2f,%.2f,%.3f,%.1f,%.1f,%.3f,%.4f,%.5f\n", c.name, step,
                         stepRecording, stepRecording / step, frame, framePoints,
                         framePoints / frame, statistics, share);
        else
            std::fprintf(out, "%-12s %10.2f %12.2f %7.3f %10.1f %12.1f %7.3f %13.4f%%\n", c.name,
                         step, stepRecording, stepRecording / step, frame, framePoints,
                         framePoints / frame, 100.0 * share);
        std::fflush(out);
    }
}
