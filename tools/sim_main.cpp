// clatterbox-sim: runs one scene headless for a number of fixed steps under a
// scripted pusher and prints the state of every body, so that runs can be
// compared, plotted or checked by scripts without a window.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "render/Platform.h"
#include "tools/CommandLine.h"
#include "tools/RestCheck.h"
#include "tools/soak/Soak.h"
#include "tools/StandardOutput.h"
#include "world/PusherSpeed.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
constexpr const char* kUsage = "usage: clatterbox-sim --scene N --seed S --steps K "
                               "[--push VX,VY,VZ:N]... [--add-balls B] [--every M] "
                               "[--all-pairs] [--contacts classic|stable]\n"
                               "       clatterbox-sim --soak SECONDS --seed S [--scene N]\n";
constexpr int64_t kMaxAddedBalls = 10000;
// 20,000 simulated seconds: hours for a crowded scene, not days.
constexpr int64_t kMaxSteps = 10000000;

// A pusher velocity, world units per second, held for a number of steps.
struct SPushSegment
{
    CVector velocity;
    int64_t steps = 0;
};

struct SOptions
{
    int64_t scene = -1;
    int64_t seed = -1;
    int64_t steps = -1;
    std::vector<SPushSegment> pushes;
    int64_t addBalls = 0;
    int64_t every = 0; // 0: print only after the last step
    // Step with the loop over all pairs instead of the broad phase; the output
    // is the same, byte for byte.
    bool allPairs = false;
    EContactModel contacts = EContactModel::Stable;
};

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "clatterbox-sim: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

// Fills the options; on a wrong or missing argument writes the reason and
// returns false.
bool ParseOptions(int argc, char** argv, SOptions& options, std::string& problem)
{
    bool seenAddBalls = false;
    bool seenContacts = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string name = argv[i];
        if (name == "--all-pairs")
        {
            options.allPairs = true;
            continue;
        }
        if (name != "--scene" && name != "--seed" && name != "--steps" && name != "--push" &&
            name != "--add-balls" && name != "--every" && name != "--contacts")
        {
            problem = "unknown argument '" + name + "'";
            return false;
        }
        if (i + 1 >= argc)
        {
            problem = name + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        const auto once = [&](bool seen)
        {
            if (seen)
            {
                problem = name + " given twice";
            }
            return !seen;
        };
        if (name == "--scene")
        {
            if (!once(options.scene >= 0))
                return false;
            if (!ParseInt64(value, 0, kSceneCount - 1, options.scene))
            {
                problem = "--scene must be a scene index from " + SceneIndexRange() + ", not '" +
                          value + "'";
                return false;
            }
        }
        else if (name == "--seed")
        {
            if (!once(options.seed >= 0))
                return false;
            if (!ParseInt64(value, 0, UINT32_MAX, options.seed))
            {
                problem = "--seed must be an integer from 0 to 4294967295, not '" + value + "'";
                return false;
            }
        }
        else if (name == "--steps")
        {
            if (!once(options.steps >= 0))
                return false;
            if (!ParseInt64(value, 0, kMaxSteps, options.steps))
            {
                problem = "--steps must be an integer from 0 to " + std::to_string(kMaxSteps) +
                          ", not '" + value + "'";
                return false;
            }
        }
        else if (name == "--push")
        {
            float velocity[3] = {};
            SPushSegment segment;
            if (!ParsePushSegment(value, velocity, segment.steps))
            {
                problem =
                    "--push must be VX,VY,VZ:N (a velocity and a step count), not '" + value + "'";
                return false;
            }
            segment.velocity = CVector(velocity[0], velocity[1], velocity[2]);
            // The demo never moves the pusher faster (world/PusherSpeed.h).
            const double speed = std::sqrt(static_cast<double>(segment.velocity.LengthSquared()));
            if (speed > static_cast<double>(kMaxPusherSpeed))
            {
                char text[160];
                std::snprintf(text, sizeof text,
                              "--push speed %.6g is above the pusher's limit of %g units/s", speed,
                              static_cast<double>(kMaxPusherSpeed));
                problem = text + std::string(" in '") + value + "'";
                return false;
            }
            options.pushes.push_back(segment);
        }
        else if (name == "--add-balls")
        {
            if (!once(seenAddBalls))
                return false;
            seenAddBalls = true;
            if (!ParseInt64(value, 0, kMaxAddedBalls, options.addBalls))
            {
                problem = "--add-balls must be an integer from 0 to " +
                          std::to_string(kMaxAddedBalls) + ", not '" + value + "'";
                return false;
            }
        }
        else if (name == "--contacts")
        {
            if (!once(seenContacts))
                return false;
            seenContacts = true;
            if (!ParseContactModel(value, options.contacts))
            {
                problem = "--contacts must be classic or stable, not '" + value + "'";
                return false;
            }
        }
        else
        {
            if (!once(options.every > 0))
                return false;
            if (!ParseInt64(value, 1, INT64_MAX, options.every))
            {
                problem = "--every must be a positive integer, not '" + value + "'";
                return false;
            }
        }
    }
    if (options.scene < 0 || options.seed < 0 || options.steps < 0)
    {
        problem = "--scene, --seed and --steps are required";
        return false;
    }
    return true;
}

void PrintState(std::FILE* out, const char* label, const CInertialBody& body)
{
    const CVector p = body.Position();
    const CVector v = body.linearVelocity;
    const CVector w = body.worldAngularVelocity;
    const CVector x = body.matrix.Column(0);
    const CVector z = body.matrix.Column(2);
    std::fprintf(out,
                 "%s %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g "
                 "%.9g\n",
                 label, p.x, p.y, p.z, v.x, v.y, v.z, w.x, w.y, w.z, x.x, x.y, x.z, z.x, z.y, z.z);
}

void PrintWorld(std::FILE* out, const CWorld& world)
{
    for (int i = 0; i < world.BodyCount(); ++i)
    {
        const std::string label = "body " + std::to_string(i);
        PrintState(out, label.c_str(), *world.Body(i));
    }
    if (world.pusher != nullptr)
    {
        PrintState(out, "pusher", *world.pusher);
    }
}

// The pusher's velocity for each step in turn: the segments in order, each
// for its step count, then rest.
class CPushScript
{
public:
    explicit CPushScript(const std::vector<SPushSegment>& segments) : m_segments(segments) {}

    CVector Next()
    {
        while (m_segment < m_segments.size() && m_used >= m_segments[m_segment].steps)
        {
            ++m_segment;
            m_used = 0;
        }
        if (m_segment == m_segments.size())
        {
            return CVector();
        }
        ++m_used;
        return m_segments[m_segment].velocity;
    }

private:
    const std::vector<SPushSegment>& m_segments;
    size_t m_segment = 0;
    int64_t m_used = 0;
};

int Run(const SOptions& options)
{
    CHeadlessPlatform platform;
    SetPlatform(&platform);
    // The bodies compile display lists as they are prepared.
    CHeadlessGL gl(16, 16);

    CWorld world;
    SeedRandom(static_cast<uint32_t>(options.seed));
    world.sceneIndex = static_cast<int32_t>(options.scene);
    world.allPairs = options.allPairs;
    world.contactModel = options.contacts;
    world.Initialize();
    for (int64_t i = 0; i < options.addBalls; ++i)
    {
        world.AddBall();
    }

    std::FILE* out = stdout;
    CPushScript script(options.pushes);
    for (int64_t k = 1; k <= options.steps; ++k)
    {
        const CVector velocity = script.Next();
        if (world.pusher != nullptr)
        {
            world.pusher->SetVelocity(velocity);
        }
        world.Step(kSimulationStep);
        g_simulatedTime += static_cast<double>(kSimulationStep);
        if (options.every > 0 && k % options.every == 0)
        {
            std::fprintf(out, "step %lld\n", static_cast<long long>(k));
            PrintWorld(out, world);
        }
    }
    // With --every the last block already shows the final state when the step
    // count is a multiple; with no steps at all nothing else would be printed.
    if (options.every == 0 || options.steps % options.every != 0 || options.steps == 0)
    {
        PrintWorld(out, world);
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    // The soak has a command line of its own (tools/soak/Soak.h).
    if (IsSoakCommand(argc, argv))
    {
        return FinishStandardOutput("clatterbox-sim", SoakMain(argc, argv));
    }
    if (IsRestCommand(argc, argv))
    {
        return RestMain(argc, argv);
    }
    SOptions options;
    std::string problem;
    if (!ParseOptions(argc, argv, options, problem))
    {
        return Usage(problem);
    }
    int status = 1;
    try
    {
        status = Run(options);
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "clatterbox-sim: %s\n", error.what());
    }
    return FinishStandardOutput("clatterbox-sim", status);
}
