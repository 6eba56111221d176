#include "tools/bench/PhysicsBench.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
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
#include "tools/bench/SweepPairs.h"
#include "world/BroadPhase.h"
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

bool SamePairs(const std::vector<SBodyPair>& a, const std::vector<SBodyPair>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const SBodyPair& p, const SBodyPair& q)
                      { return p.first == q.first && p.second == q.second; });
}

// The three searches of one world, each keeping its own state from call to
// call as it would in the step.
class CPairSearches
{
public:
    // One untimed call each: buffers grown, the sweep's order sorted.
    explicit CPairSearches(const CWorld& world)
    {
        m_grid.SearchPairs(world.bodies);
        m_sweep.FindPairs(world.bodies);
        m_kept.FindPairs(world.bodies);
    }

    // Times each search before every one of count steps.
    SPairSearchTiming Time(CWorld& world, int64_t first, int64_t count)
    {
        SPairSearchTiming timing;
        std::vector<double> grid;
        std::vector<double> sweep;
        std::vector<double> kept;
        double pairs = 0.0;
        for (int64_t k = first; k < first + count; ++k)
        {
            const Clock::time_point t0 = Clock::now();
            const std::vector<SBodyPair>& byGrid = m_grid.SearchPairs(world.bodies);
            const Clock::time_point t1 = Clock::now();
            const std::vector<SBodyPair>& bySweep = m_sweep.FindPairs(world.bodies);
            const Clock::time_point t2 = Clock::now();
            const std::vector<SBodyPair>& byKept = m_kept.FindPairs(world.bodies);
            const Clock::time_point t3 = Clock::now();
            grid.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
            sweep.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
            kept.push_back(std::chrono::duration<double, std::micro>(t3 - t2).count());
            timing.same = timing.same && SamePairs(byGrid, bySweep) && SamePairs(byGrid, byKept);
            pairs += static_cast<double>(byGrid.size());

            if (world.pusher)
            {
                world.pusher->SetVelocity(StrikeVelocity(k));
            }
            world.Step(kSimulationStep);
            g_simulatedTime += static_cast<double>(kSimulationStep);
        }
        timing.grid = Summarize(grid);
        timing.sweep = Summarize(sweep);
        timing.kept = Summarize(kept);
        timing.pairsPerStep = count > 0 ? pairs / static_cast<double>(count) : 0.0;
        return timing;
    }

private:
    CBroadPhase m_grid;
    CSweepPairs m_sweep;
    CBroadPhase m_kept;
};

void StartWorld(CWorld& world, int scene, uint32_t seed, bool allPairs, EContactModel contacts)
{
    SeedRandom(seed);
    world.sceneIndex = scene;
    world.allPairs = allPairs;
    world.contactModel = contacts;
    world.Initialize();
}

// Scene 0 with the balls thrown in on top.
void StartThrownBalls(CWorld& world, int balls, const SPhysicsSettings& settings)
{
    StartWorld(world, 0, settings.seed, settings.allPairs, settings.contacts);
    for (int i = 0; i < balls; ++i)
    {
        world.AddBall();
    }
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
        StartWorld(world, scene, settings.seed + static_cast<uint32_t>(run), settings.allPairs,
                   settings.contacts);
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
    StartThrownBalls(world, balls, settings);
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

std::vector<SStepTiming> TimeSceneModels(int scene, const SPhysicsSettings& settings,
                                         const std::vector<EContactModel>& models)
{
    const size_t count = models.size();
    std::vector<SStepTiming> timings(count);
    std::vector<std::vector<double>> kept(count);
    std::vector<uint64_t> contacts(count, 0);
    const int64_t steps = StepsFor(settings.sceneSeconds);
    const int64_t dropped = std::min(kDroppedSteps, steps - 1);
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(steps));
    for (int run = 0; run < settings.runs; ++run)
    {
        for (size_t m = 0; m < count; ++m)
        {
            CWorld world;
            StartWorld(world, scene, settings.seed + static_cast<uint32_t>(run), settings.allPairs,
                       models[m]);
            timings[m].bodies = world.BodyCount();
            micros.clear();
            std::vector<double> ignored;
            MeasuredSteps(world, 0, dropped, ignored, nullptr, false);
            contacts[m] += MeasuredSteps(world, dropped, steps - dropped, micros, nullptr, true);
            kept[m].insert(kept[m].end(), micros.begin(), micros.end());
        }
    }
    const int64_t counted = (steps - dropped) * settings.runs;
    for (size_t m = 0; m < count; ++m)
    {
        timings[m].contactsPerStep =
            counted > 0 ? static_cast<double>(contacts[m]) / static_cast<double>(counted) : 0.0;
        timings[m].micros = Summarize(kept[m]);
    }
    return timings;
}

std::vector<SStepTiming> TimeThrownBallsModels(int balls, const SPhysicsSettings& settings,
                                               const std::vector<EContactModel>& models)
{
    // Steps each model is timed for before the next takes its turn.
    constexpr int64_t kStretch = 25;
    const size_t count = models.size();
    std::vector<SStepTiming> timings(count);
    std::vector<std::unique_ptr<CWorld>> worlds;
    const int64_t settle = settings.settleSeconds > 0.0 ? StepsFor(settings.settleSeconds) : 0;
    for (size_t m = 0; m < count; ++m)
    {
        SPhysicsSettings own = settings;
        own.contacts = models[m];
        worlds.push_back(std::make_unique<CWorld>());
        StartThrownBalls(*worlds.back(), balls, own);
        timings[m].bodies = worlds.back()->BodyCount();
        std::vector<double> landing;
        MeasuredSteps(*worlds.back(), 0, settle, landing, nullptr, false);
    }

    const int64_t steps = StepsFor(settings.ballSeconds);
    std::vector<std::vector<double>> micros(count);
    std::vector<uint64_t> contacts(count, 0);
    for (int64_t first = 0; first < steps; first += kStretch)
    {
        const int64_t stretch = std::min(kStretch, steps - first);
        for (size_t m = 0; m < count; ++m)
        {
            contacts[m] +=
                MeasuredSteps(*worlds[m], settle + first, stretch, micros[m], nullptr, true);
        }
    }
    for (size_t m = 0; m < count; ++m)
    {
        timings[m].contactsPerStep = static_cast<double>(contacts[m]) / static_cast<double>(steps);
        timings[m].micros = Summarize(micros[m]);
    }
    return timings;
}

SPairSearchTimings TimePairSearch(int balls, const SPhysicsSettings& settings)
{
    SPairSearchTimings timings;
    CWorld world;
    StartThrownBalls(world, balls, settings);
    timings.bodies = world.BodyCount();

    CPairSearches searches(world);
    const int64_t settle =
        std::max(kFlightSteps, settings.settleSeconds > 0.0 ? StepsFor(settings.settleSeconds) : 0);
    timings.flight = searches.Time(world, 0, kFlightSteps);
    std::vector<double> ignored;
    MeasuredSteps(world, kFlightSteps, settle - kFlightSteps, ignored, nullptr, false);
    timings.landed = searches.Time(world, settle, StepsFor(settings.ballSeconds));
    return timings;
}
