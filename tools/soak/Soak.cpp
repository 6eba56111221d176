#include "tools/soak/Soak.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "render/Camera.h"
#include "render/Platform.h"
#include "tools/CommandLine.h"
#include "tools/soak/BodyFault.h"
#include "tools/soak/SoakInput.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
struct SFailure
{
    int scene = 0;
    int64_t step = 0;
    SBodyFault fault;
};

// One scene's soak from a fresh start that depends on the seed and the
// scene alone, so that `--scene` replays it exactly. False on a fault.
bool SoakScene(CWorld& world, CHeadlessPlatform& host, const SSoakOptions& options, int scene,
               SSceneFigures& figures, SFailure& failure)
{
    ReleaseInput(host);
    world.camera->Initialize();
    world.follow = 0;
    SeedRandom(MixSeed(options.seed, scene, 0));
    if (world.sceneIndex == scene)
        world.BuildScene();
    else
        world.ChangeScene(scene - world.sceneIndex);
    figures.peakBodies = world.BodyCount();

    const int64_t steps = static_cast<int64_t>(
        std::ceil(options.secondsPerScene / static_cast<double>(kSimulationStep) - 1e-6));
    CSoakInput input(world, host, MixSeed(options.seed, scene, 1), figures);
    const auto start = std::chrono::steady_clock::now();
    bool passed = true;
    while (passed && figures.steps < steps)
    {
        input.NextFrame();
        for (int k = 0; k < kFrameSteps && figures.steps < steps; ++k)
        {
            // One step per call: the frame update's own path from the mouse
            // and the keys to the pusher, checked after every step.
            world.Update(kSimulationStep, false);
            ++figures.steps;
            if (world.pusher != nullptr && world.pusher->contactCount > 0)
                ++figures.pusherContactSteps;
            if (FindBodyFault(world, failure.fault))
            {
                failure.scene = world.sceneIndex;
                failure.step = figures.steps;
                passed = false;
                break;
            }
        }
        for (int i = 0; i < world.BodyCount(); ++i)
            figures.fastestBody =
                std::max(figures.fastestBody, Speed(world.Body(i)->linearVelocity));
    }
    figures.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return passed;
}

void PrintFigures(std::FILE* out, int scene, const SSceneFigures& f)
{
    std::fprintf(out,
                 "scene %d \"%s\": %.3f s simulated, %lld steps, %.1f s wall; up to %d bodies, "
                 "%lld balls added, %lld bodies removed, %lld throws, %lld resets, %lld scene "
                 "visits; pusher touching in %.1f%% of the steps, up to %.0f units/s; bodies up to "
                 "%.0f units/s\n",
                 scene, g_sceneNames[scene],
                 static_cast<double>(f.steps) * static_cast<double>(kSimulationStep),
                 static_cast<long long>(f.steps), f.wallSeconds, f.peakBodies,
                 static_cast<long long>(f.ballsAdded), static_cast<long long>(f.bodiesRemoved),
                 static_cast<long long>(f.throws), static_cast<long long>(f.resets),
                 static_cast<long long>(f.hops),
                 f.steps > 0 ? 100.0 * static_cast<double>(f.pusherContactSteps) /
                                   static_cast<double>(f.steps)
                             : 0.0,
                 f.fastestPusher, f.fastestBody);
    std::fflush(out);
}

// The soak on a host that is already the process-wide platform.
int RunSoakOn(CHeadlessPlatform& host, const SSoakOptions& options, std::FILE* out, std::FILE* err)
{
    // Bodies compile their display lists as they are prepared; the world goes
    // before the context does.
    CHeadlessGL gl(16, 16);
    CWorld world;
    world.contactModel = options.contacts;
    world.Initialize();

    const int first = options.scene >= 0 ? options.scene : 0;
    const int last = options.scene >= 0 ? options.scene : kSceneCount - 1;
    const std::string seconds = ShortestText(options.secondsPerScene);
    std::fprintf(out, "soak: seed %u, %s s of simulated time per scene, %s contacts\n",
                 options.seed, seconds.c_str(), ContactModelName(options.contacts));
    SSceneFigures total;
    for (int scene = first; scene <= last; ++scene)
    {
        SSceneFigures figures;
        SFailure failure;
        const bool passed = SoakScene(world, host, options, scene, figures, failure);
        PrintFigures(out, scene, figures);
        total.steps += figures.steps;
        total.wallSeconds += figures.wallSeconds;
        if (!passed)
        {
            const std::string who = failure.fault.body >= 0
                                        ? "body " + std::to_string(failure.fault.body)
                                    : failure.fault.body == -1 ? std::string("the pusher")
                                                               : std::string("the camera");
            std::fprintf(err,
                         "clatterbox-sim: soak of scene %d \"%s\" failed at its step %lld, in "
                         "scene %d \"%s\", seed %u: %s: %s\n"
                         "replay: clatterbox-sim --soak %s --seed %u --scene %d --contacts %s\n",
                         scene, g_sceneNames[scene], static_cast<long long>(failure.step),
                         failure.scene, g_sceneNames[failure.scene], options.seed, who.c_str(),
                         failure.fault.what.c_str(), seconds.c_str(), options.seed, scene,
                         ContactModelName(options.contacts));
            return 1;
        }
    }
    std::fprintf(out, "soak passed: %d scenes, %lld steps, %.3f s simulated, %.1f s wall\n",
                 last - first + 1, static_cast<long long>(total.steps),
                 static_cast<double>(total.steps) * static_cast<double>(kSimulationStep),
                 total.wallSeconds);
    std::fflush(out);
    return 0;
}
} // namespace

int RunSoak(const SSoakOptions& options, std::FILE* out, std::FILE* err)
{
    CHeadlessPlatform host;
    SetPlatform(&host);
    int status = 1;
    try
    {
        status = RunSoakOn(host, options, out, err);
    }
    catch (...)
    {
        SetPlatform(nullptr);
        throw;
    }
    SetPlatform(nullptr);
    return status;
}
