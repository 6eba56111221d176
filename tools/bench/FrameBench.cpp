#include "tools/bench/FrameBench.h"

#include <GL/gl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

#include "dynamics/Random.h"
#include "world/World.h"

namespace
{
using Clock = std::chrono::steady_clock;

// Steps of 0.002 s in one frame at 60 frames per second, as the frame loop
// rounds them up.
constexpr int kStepsPerFrame = 9;
// Simulated seconds the thrown balls get before the frames are timed.
constexpr double kLandSeconds = 1.0;

double MicrosSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double Advance(CWorld& world, int steps)
{
    const Clock::time_point start = Clock::now();
    for (int k = 0; k < steps; ++k)
    {
        world.Step(kSimulationStep);
        g_simulatedTime += static_cast<double>(kSimulationStep);
    }
    return MicrosSince(start);
}

double ResidentBytes()
{
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr)
    {
        return 0.0;
    }
    long pages = 0, resident = 0;
    const int read = std::fscanf(file, "%ld %ld", &pages, &resident);
    std::fclose(file);
    return read == 2 ? static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE))
                     : 0.0;
}

double WholeFrame(CWorld& world)
{
    const Clock::time_point start = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    world.Draw();
    glFinish();
    return MicrosSince(start);
}

// Finishes the GL's work after each pass and notes how long it took.
class CPassClock : public IFramePassObserver
{
public:
    void Start()
    {
        for (double& t : micros)
        {
            t = -1.0;
        }
        m_last = Clock::now();
    }
    void PassDone(EFramePass pass) override
    {
        glFinish();
        const Clock::time_point now = Clock::now();
        micros[pass] = std::chrono::duration<double, std::micro>(now - m_last).count();
        m_last = now;
    }
    double micros[kFramePassCount] = {};

private:
    Clock::time_point m_last;
};

std::unique_ptr<CWorld> MakeWorld(int shadowMode, int environmentMapping, const SDrawTuning& tuning,
                                  uint32_t seed)
{
    auto world = std::make_unique<CWorld>();
    SeedRandom(seed);
    world->drawTuning = tuning;
    world->sceneIndex = 0;
    world->Initialize();
    world->shadowMode = shadowMode;
    world->environmentMapping = environmentMapping;
    return world;
}

void GrowTo(CWorld& world, int bodies)
{
    while (world.BodyCount() < bodies)
    {
        world.AddBall();
    }
}
} // namespace

std::vector<SBallFrameRow> TimeBallFrames(const std::vector<int>& bodyCounts, int shadowMode,
                                          int environmentMapping, const SDrawTuning& tuning,
                                          const SDrawSettings& settings)
{
    const std::unique_ptr<CWorld> world =
        MakeWorld(shadowMode, environmentMapping, tuning, settings.seed);
    std::vector<SBallFrameRow> rows;
    for (const int count : bodyCounts)
    {
        GrowTo(*world, count);
        Advance(*world, static_cast<int>(std::lround(kLandSeconds / kSimulationStep)));
        // The first frame after a change may pay for work the driver defers.
        WholeFrame(*world);
        SBallFrameRow row;
        row.bodies = world->BodyCount();
        row.residentBytes = ResidentBytes();

        std::vector<double> physics, clear, swap, frame;
        std::vector<double> passes[kFramePassCount];
        CPassClock clock;
        for (int f = 0; f < settings.frames; ++f)
        {
            physics.push_back(Advance(*world, kStepsPerFrame));
            frame.push_back(WholeFrame(*world));

            // The same frame again, finished after every part.
            Clock::time_point start = Clock::now();
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            glFinish();
            clear.push_back(MicrosSince(start));
            clock.Start();
            DrawWorld(*world, &clock);
            start = Clock::now();
            glFinish();
            swap.push_back(MicrosSince(start));
            for (int pass = 0; pass < kFramePassCount; ++pass)
            {
                if (clock.micros[pass] >= 0.0)
                {
                    passes[pass].push_back(clock.micros[pass]);
                }
            }
        }
        row.physics = Summarize(physics);
        row.clear = Summarize(clear);
        row.swap = Summarize(swap);
        row.frame = Summarize(frame);
        for (int pass = 0; pass < kFramePassCount; ++pass)
        {
            row.passes[pass] = Summarize(passes[pass]);
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<STimingSummary> CompareTunings(int bodies, int shadowMode, int environmentMapping,
                                           const std::vector<SDrawTuning>& tunings,
                                           const SDrawSettings& settings)
{
    std::vector<std::unique_ptr<CWorld>> worlds;
    for (const SDrawTuning& tuning : tunings)
    {
        worlds.push_back(MakeWorld(shadowMode, environmentMapping, tuning, settings.seed));
        GrowTo(*worlds.back(), bodies);
        Advance(*worlds.back(), static_cast<int>(std::lround(kLandSeconds / kSimulationStep)));
        WholeFrame(*worlds.back());
    }
    std::vector<std::vector<double>> micros(tunings.size());
    for (int f = 0; f < settings.frames; ++f)
    {
        for (size_t i = 0; i < worlds.size(); ++i)
        {
            Advance(*worlds[i], kStepsPerFrame);
            micros[i].push_back(WholeFrame(*worlds[i]));
        }
    }
    std::vector<STimingSummary> summaries;
    for (std::vector<double>& samples : micros)
    {
        summaries.push_back(Summarize(samples));
    }
    return summaries;
}
