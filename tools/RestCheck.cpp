#include "tools/RestCheck.h"

#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "render/Platform.h"
#include "tools/CommandLine.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
constexpr const char* kUsage =
    "usage: clatterbox-sim --rest SECONDS --seeds N [--scene N] [--contacts classic|stable]\n";

// "Spinning Tops": the toys need the longer settling time; the tops (list
// indices 0 and 2) may spin and fall.
constexpr int kTopsScene = 4;
constexpr double kTopsSettleSeconds = 10.0;

// The limits a scene left alone must keep between the settling time and the
// end.
constexpr double kMoveLimit = 0.05;
constexpr double kTurnLimit = 0.01;

bool Measured(int scene, int body)
{
    return scene != kTopsScene || body == 1 || body == 3;
}

// The angle of the rotation that takes orientation a to b, in double so
// that a turn of 1e-4 is not lost in rounding.
double TurnBetween(const CMatrix4& a, const CMatrix4& b)
{
    double q[3][3];
    for (int i = 0; i < 3; ++i)
    {
        for (int j = 0; j < 3; ++j)
        {
            double sum = 0.0;
            for (int k = 0; k < 3; ++k)
            {
                // Column i of a dotted with column j of b.
                sum += static_cast<double>(a.m[i * 4 + k]) * static_cast<double>(b.m[j * 4 + k]);
            }
            q[i][j] = sum;
        }
    }
    const double c = (q[0][0] + q[1][1] + q[2][2] - 1.0) / 2.0;
    const double sx = (q[2][1] - q[1][2]) / 2.0;
    const double sy = (q[0][2] - q[2][0]) / 2.0;
    const double sz = (q[1][0] - q[0][1]) / 2.0;
    return std::atan2(std::sqrt(sx * sx + sy * sy + sz * sz), c);
}

double Distance(const CVector& a, const CVector& b)
{
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    const double dz = static_cast<double>(a.z) - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}
} // namespace

SRestResult MeasureRest(const SRestOptions& options)
{
    CWorld world;
    SeedRandom(options.seed);
    world.sceneIndex = options.scene;
    world.contactModel = options.contacts;
    world.Initialize();

    const auto settle = static_cast<int64_t>(std::llround(options.settleSeconds / kSimulationStep));
    const auto end = static_cast<int64_t>(std::llround(options.endSeconds / kSimulationStep));
    int64_t k = 0;
    for (; k < settle; ++k)
    {
        world.Step(kSimulationStep);
    }

    SRestResult result;
    const int count = world.BodyCount();
    std::vector<CMatrix4> start(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
    {
        start[static_cast<size_t>(i)] = world.Body(i)->matrix;
    }
    if (options.scene == kTopsScene)
    {
        result.toyTilt = 0.0;
        for (int i = 0; i < count; ++i)
        {
            if (Measured(options.scene, i))
            {
                const double up = static_cast<double>(world.Body(i)->matrix.Column(2).z);
                result.toyTilt = std::max(result.toyTilt, std::acos(std::min(1.0, up)));
            }
        }
    }
    for (; k < end; ++k)
    {
        world.Step(kSimulationStep);
        for (int i = 0; i < count; ++i)
        {
            if (!Measured(options.scene, i))
            {
                continue;
            }
            const CMatrix4& now = world.Body(i)->matrix;
            const CMatrix4& then = start[static_cast<size_t>(i)];
            const double move = Distance(now.Translation(), then.Translation());
            if (move > result.move)
            {
                result.move = move;
                result.moveBody = i;
            }
            const double turn = TurnBetween(then, now);
            if (turn > result.turn)
            {
                result.turn = turn;
                result.turnBody = i;
            }
        }
    }
    return result;
}

bool IsRestCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
    {
        if (std::string(argv[i]) == "--rest")
        {
            return true;
        }
    }
    return false;
}

int RestMain(int argc, char** argv)
{
    int64_t seconds = -1;
    int64_t seeds = -1;
    int64_t scene = -1;
    EContactModel contacts = EContactModel::Stable;
    std::string problem;
    for (int i = 1; i < argc && problem.empty(); ++i)
    {
        const std::string name = argv[i];
        if (i + 1 >= argc)
        {
            problem = name + " needs a value";
            break;
        }
        const std::string value = argv[++i];
        if (name == "--rest")
        {
            if (!ParseInt64(value, 4, 1000000, seconds))
                problem = "--rest must be a whole number of seconds from 4 to 1000000, not '" +
                          value + "'";
        }
        else if (name == "--seeds")
        {
            if (!ParseInt64(value, 1, 1000, seeds))
                problem = "--seeds must be a count from 1 to 1000, not '" + value + "'";
        }
        else if (name == "--scene")
        {
            if (!ParseInt64(value, 0, kSceneCount - 1, scene))
                problem = "--scene must be a scene index from " + SceneIndexRange() + ", not '" +
                          value + "'";
        }
        else if (name == "--contacts")
        {
            if (!ParseContactModel(value, contacts))
                problem = "--contacts must be classic or stable, not '" + value + "'";
        }
        else
        {
            problem = "unknown argument '" + name + "'";
        }
    }
    if (problem.empty() && (seconds < 0 || seeds < 0))
    {
        problem = "--rest and --seeds are required";
    }
    if (!problem.empty())
    {
        std::fprintf(stderr, "clatterbox-sim: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }

    try
    {
        CHeadlessPlatform platform;
        SetPlatform(&platform);
        CHeadlessGL gl(16, 16);
        bool held = true;
        for (int s = 0; s < kSceneCount; ++s)
        {
            if (scene >= 0 && s != scene)
            {
                continue;
            }
            for (int64_t seed = 1; seed <= seeds; ++seed)
            {
                SRestOptions options;
                options.scene = s;
                options.seed = static_cast<uint32_t>(seed);
                options.contacts = contacts;
                options.settleSeconds = s == kTopsScene ? kTopsSettleSeconds : 3.0;
                options.endSeconds = static_cast<double>(seconds);
                const SRestResult r = MeasureRest(options);
                const bool ok = r.move <= kMoveLimit && r.turn <= kTurnLimit;
                held = held && ok;
                std::printf("scene %2d %-16s seed %lld  move %.5f (body %d)  turn %.5f (body %d)",
                            s, g_sceneNames[s], static_cast<long long>(seed), r.move, r.moveBody,
                            r.turn, r.turnBody);
                if (r.toyTilt >= 0.0)
                {
                    std::printf("  toys' tilt %.4f", r.toyTilt);
                }
                std::printf("  %s\n", ok ? "at rest" : "MOVED");
                std::fflush(stdout);
            }
        }
        return held ? 0 : 1;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "clatterbox-sim: %s\n", error.what());
        return 1;
    }
}
