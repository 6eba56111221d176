#include "tools/bench/DrawBench.h"

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "tools/bench/PhysicsBench.h"
#include "world/World.h"

namespace
{
using Clock = std::chrono::steady_clock;

// Steps of 0.002 s in one frame at 60 frames per second, as the frame loop
// rounds them up.
constexpr int kStepsPerFrame = 9;

void Advance(CWorld& world, int64_t& step, int64_t count)
{
    for (int64_t k = 0; k < count; ++k, ++step)
    {
        if (world.pusher)
        {
            world.pusher->SetVelocity(step < kStrikeSteps ? CVector(0.0f, 150.0f, 0.0f)
                                                          : CVector());
        }
        world.Step(kSimulationStep);
        g_simulatedTime += static_cast<double>(kSimulationStep);
    }
}

double FrameMicros(CWorld& world)
{
    const Clock::time_point before = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    world.Draw();
    glFinish();
    const Clock::time_point after = Clock::now();
    return std::chrono::duration<double, std::micro>(after - before).count();
}
} // namespace

STimingSummary TimeFrames(int scene, int shadowMode, int environmentMapping,
                          const SDrawSettings& settings)
{
    CWorld world;
    SeedRandom(settings.seed);
    world.sceneIndex = scene;
    world.Initialize();
    world.shadowMode = shadowMode;
    world.environmentMapping = environmentMapping;

    int64_t step = 0;
    Advance(world, step, std::llround(settings.warmSeconds / static_cast<double>(kSimulationStep)));
    // The first frame after a change of state may pay for work the driver
    // defers; it is drawn but not counted.
    FrameMicros(world);

    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(settings.frames));
    for (int f = 0; f < settings.frames; ++f)
    {
        Advance(world, step, kStepsPerFrame);
        micros.push_back(FrameMicros(world));
    }
    return Summarize(micros);
}
