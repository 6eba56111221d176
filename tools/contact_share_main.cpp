// clatterbox-contact-share: how much of a fixed step the shape-pair tests
// take in a scene. Before every step it runs, untimed by the step, exactly the
// shape tests that the step's body contacts will run on the same state (pairs
// of bodies whose bounding spheres overlap, pairs of collidable shapes), and
// times them; then it times the step itself. Prints one line per repetition
// with the medians over the steps, which a busy machine disturbs least.
//
//   clatterbox-contact-share --scene 9 --steps 20000 [--repeat 3]

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"
#include "render/Platform.h"
#include "shapes/Shape.h"
#include "shapes/ShapeContact.h"
#include "tools/StandardOutput.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
constexpr const char* kUsage = "usage: clatterbox-contact-share --scene N --steps K [--repeat R]\n";

using Clock = std::chrono::steady_clock;

struct SSweep
{
    int64_t tests = 0;
    // Keeps the results alive so that the calls cannot be dropped.
    float sum = 0.0f;
};

// The shape tests CollideBodies(a, b) will run on the current state.
void SweepPair(const CInertialBody& a, const CInertialBody& b, SSweep& sweep)
{
    if (FastSqrt((a.Position() - b.Position()).LengthSquared()) >=
        a.boundingRadius + b.boundingRadius)
    {
        return;
    }
    for (const auto& p : a.shapes)
    {
        if (!p->collidable)
        {
            continue;
        }
        for (const auto& q : b.shapes)
        {
            if (!q->collidable)
            {
                continue;
            }
            CVector point, normal;
            const float s = ShapeContact(*p, *q, point, normal);
            sweep.sum += s < 0.0f ? s : 0.0f;
            ++sweep.tests;
        }
    }
}

void SweepWorld(const CWorld& world, SSweep& sweep)
{
    const int count = world.BodyCount();
    for (int i = 0; i < count; ++i)
    {
        for (int j = i + 1; j < count; ++j)
        {
            SweepPair(*world.Body(i), *world.Body(j), sweep);
        }
    }
    if (world.pusher != nullptr)
    {
        for (int i = 0; i < count; ++i)
        {
            SweepPair(*world.pusher, *world.Body(i), sweep);
        }
    }
}

double MedianMicroseconds(std::vector<Clock::duration>& times)
{
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return std::chrono::duration<double, std::micro>(times[times.size() / 2]).count();
}

// The whole text a decimal integer within [minimum, maximum].
bool ParseCount(const std::string& text, int64_t minimum, int64_t maximum, int64_t& value)
{
    if (text.empty() || text.size() > 19)
    {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < minimum || parsed > maximum)
    {
        return false;
    }
    value = parsed;
    return true;
}

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "clatterbox-contact-share: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    int64_t scene = -1;
    int64_t steps = -1;
    int64_t repeat = 1;
    for (int i = 1; i < argc; i += 2)
    {
        const std::string name = argv[i];
        if (i + 1 >= argc)
        {
            return Usage(name + " needs a value");
        }
        const std::string value = argv[i + 1];
        int64_t* target = nullptr;
        int64_t minimum = 0;
        int64_t maximum = 0;
        if (name == "--scene")
        {
            target = &scene;
            maximum = kSceneCount - 1;
        }
        else if (name == "--steps")
        {
            // Two timings a step are kept: 160 MB at the most.
            target = &steps;
            minimum = 1;
            maximum = 10000000;
        }
        else if (name == "--repeat")
        {
            target = &repeat;
            minimum = 1;
            maximum = 1000;
        }
        else
        {
            return Usage("unknown argument '" + name + "'");
        }
        if (!ParseCount(value, minimum, maximum, *target))
        {
            return Usage(name + " must be an integer from " + std::to_string(minimum) + " to " +
                         std::to_string(maximum) + ", not '" + value + "'");
        }
    }
    if (scene < 0 || steps < 0)
    {
        return Usage("--scene and --steps are required");
    }

    try
    {
        CHeadlessGL gl(16, 16);
        CHeadlessPlatform platform;
        SetPlatform(&platform);
        std::printf("scene %s, %lld steps a run\n", g_sceneNames[scene],
                    static_cast<long long>(steps));
        for (int64_t run = 0; run < repeat; ++run)
        {
            CWorld world;
            world.sceneIndex = static_cast<int32_t>(scene);
            world.BuildScene();
            SSweep sweep;
            std::vector<Clock::duration> inTests(static_cast<size_t>(steps));
            std::vector<Clock::duration> inSteps(static_cast<size_t>(steps));
            for (size_t k = 0; k < inSteps.size(); ++k)
            {
                const Clock::time_point t0 = Clock::now();
                SweepWorld(world, sweep);
                const Clock::time_point t1 = Clock::now();
                world.Step(kSimulationStep);
                const Clock::time_point t2 = Clock::now();
                inTests[k] = t1 - t0;
                inSteps[k] = t2 - t1;
            }
            const double testsUs = MedianMicroseconds(inTests);
            const double stepsUs = MedianMicroseconds(inSteps);
            std::printf("run %lld: median step %.2f us, median shape tests %.2f us (%.1f%% of "
                        "the step), %.1f shape tests a step (check %g)\n",
                        static_cast<long long>(run), stepsUs, testsUs, 100.0 * testsUs / stepsUs,
                        double(sweep.tests) / double(steps), double(sweep.sum));
        }
        SetPlatform(nullptr);
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "clatterbox-contact-share: %s\n", error.what());
        return 1;
    }
    return FinishStandardOutput("clatterbox-contact-share", 0);
}
