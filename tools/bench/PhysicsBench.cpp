#include "tools/bench/PhysicsBench.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define CLATTERBOX_PROFILE_ON() CALLGRIND_START_INSTRUMENTATION
#define CLATTERBOX_PROFILE_OFF() CALLGRIND_STOP_INSTRUMENTATION
#else
#define CLATTERBOX_PROFILE_ON()
#define CLATTERBOX_PROFILE_OFF()
#endif

#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "world/World.h"

namespace
{
using Clock = std::chrono::steady_clock;

int64_t StepsFor(double seconds)
{
    return std::max<int64_t>(1, std::llround(seconds / static_cast<double>(kSimulationStep)));
}

CVector StrikeVelocity(int64_t step)
{
    return step < kStrikeSteps ? CVector(0.0f, 150.0f, 0.0f) : CVector();
}

// Steps numbered from `first` on; the pusher follows the strike script.
// Appends each step's time in microseconds and returns the summed contacts.
// The kept steps are the only ones a profiler started with instrumentation off
// counts (valgrind --tool=callgrind --instr-atstart=no clatterbox-bench ...).
uint64_t MeasuredSteps(CWorld& world, int64_t first, int64_t count, std::vector<double>& micros,
                       std::FILE* trace, bool kept)
{
    if (kept)
    {
        CLATTERBOX_PROFILE_ON();
    }
    uint64_t contacts = 0;
    for (int64_t k = first; k < first + count; ++k)
    {
        if (world.pusher)
        {
            world.pusher->SetVelocity(StrikeVelocity(k));
        }
        const Clock::time_point before = Clock::now();
        world.Step(kSimulationStep);
        const Clock::time_point after = Clock::now();
        g_simulatedTime += static_cast<double>(kSimulationStep);
        const double us = std::chrono::duration<double, std::micro>(after - before).count();
        micros.push_back(us);
        contacts += world.stepContacts;
        if (trace)
        {
            std::fprintf(trace, "%d,%lld,%.2f,%u\n", world.BodyCount(), static_cast<long long>(k),
                         us, world.stepContacts);
        }
    }
    if (kept)
    {
        CLATTERBOX_PROFILE_OFF();
    }
    return contacts;
}

void StartWorld(CWorld& world, int scene, uint32_t seed, bool allPairs)
{
    SeedRandom(seed);
    world.sceneIndex = scene;
    world.allPairs = allPairs;
    world.Initialize();
}
} // namespace

SStepTiming TimeScene(int scene, const SPhysicsSettings& settings)
{
    SStepTiming timing;
    const int64_t steps = StepsFor(settings.sceneSeconds);
    std::vector<double> kept;
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(steps));
    uint64_t contacts = 0;
    int64_t counted = 0;
    for (int run = 0; run < settings.runs; ++run)
    {
        CWorld world;
        StartWorld(world, scene, settings.seed + static_cast<uint32_t>(run), settings.allPairs);
        timing.bodies = world.BodyCount();
        micros.clear();
        // The dropped steps still run through the same timed loop, so the
        // kept ones follow exactly the same path.
        const int64_t dropped = std::min(kDroppedSteps, steps - 1);
        std::vector<double> ignored;
        MeasuredSteps(world, 0, dropped, ignored, nullptr, false);
        contacts += MeasuredSteps(world, dropped, steps - dropped, micros, nullptr, true);
        counted += steps - dropped;
        kept.insert(kept.end(), micros.begin(), micros.end());
    }
    timing.contactsPerStep = counted > 0 ? static_cast<double>(contacts) / counted : 0.0;
    timing.micros = Summarize(kept);
    return timing;
}

SStepTiming TimeThrownBalls(int balls, const SPhysicsSettings& settings)
{
    SStepTiming timing;
    CWorld world;
    StartWorld(world, 0, settings.seed, settings.allPairs);
    for (int i = 0; i < balls; ++i)
    {
        world.AddBall();
    }
    timing.bodies = world.BodyCount();

    std::vector<double> landing;
    const int64_t settle = settings.settleSeconds > 0.0 ? StepsFor(settings.settleSeconds) : 0;
    landing.reserve(static_cast<size_t>(settle));
    MeasuredSteps(world, 0, settle, landing, settings.trace, false);

    const int64_t steps = StepsFor(settings.ballSeconds);
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(steps));
    const uint64_t contacts = MeasuredSteps(world, settle, steps, micros, settings.trace, true);
    timing.contactsPerStep = static_cast<double>(contacts) / static_cast<double>(steps);
    timing.micros = Summarize(micros);
    return timing;
}
