// clatterbox-bench: how long the simulation step and the frame take, headless.
// Prints four tables: the built-in scenes (microseconds per CWorld::Step over
// fresh runs under a scripted pusher strike, the real-time factor, contacts
// per step), N balls thrown in on top of scene 0 (microseconds per step once
// landed, and how that grows with N), the pair search over those balls (the
// grid against a sort-and-sweep, in flight and landed), and frames per second
// of every scene in every shadow mode with environment mapping on and off at
// 640 x 480.
//
//   clatterbox-bench [--quick] [--csv] [--only scenes,balls,search,draw] ...
//   clatterbox-bench --peer-work --n 1000 --seconds 5 [--header]
//
// The second form runs the peer engines' N-ball drop (bench/peers) in
// Clatterbox and prints its CSV line in their format.

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "render/GlStartState.h"
#include "render/OutputFile.h"
#include "render/Platform.h"
#include "render/SceneTextures.h"
#include "render/StartupState.h"
#include "render/Texture.h"
#include "tools/CommandLine.h"
#include "tools/StandardOutput.h"
#include "tools/bench/BenchReport.h"
#include "tools/bench/DrawBench.h"
#include "tools/bench/FrameBench.h"
#include "tools/bench/FrameReport.h"
#include "tools/bench/InstrumentsBench.h"
#include "tools/bench/PeerBalls.h"
#include "tools/bench/PhysicsBench.h"
#include "world/SceneTable.h"
#include "world/World.h"

#ifndef CLATTERBOX_ASSET_DIR
#define CLATTERBOX_ASSET_DIR "assets"
#endif

namespace
{
constexpr const char* kUsage =
    "usage: clatterbox-bench [--quick] [--csv] [--only LIST] [--scenes LIST] [--balls LIST]\n"
    "                        [--runs R] [--seconds S] [--land S] [--ball-seconds S]\n"
    "                        [--frames F] [--seed S] [--all-pairs] [--contacts LIST]\n"
    "                        [--assets DIR] [--trace FILE]\n"
    "       clatterbox-bench --peer-work [--all-pairs] [--n N] [--seconds S] [--max-wall S]\n"
    "                        [--seed K] [--header] [--trace FILE]\n"
    "  --quick       a short run (under a minute): 2 runs of 1 s per scene, balls up to\n"
    "                3000, 10 frames per drawing case\n"
    "  --csv         the tables as CSV blocks instead of text\n"
    "  --only LIST   some of scenes,balls,search,draw,frames,instruments (default all six)\n"
    "  --scenes LIST scene indices for the scene and drawing tables (default all)\n"
    "  --balls LIST  ball counts of the ball and search tables (default 10,100,1000,3000,10000)\n"
    "  --runs R      fresh runs per scene (default 5)\n"
    "  --seconds S   simulated seconds per scene run (default 3)\n"
    "  --land S      simulated seconds the thrown balls get to land (default 5)\n"
    "  --ball-seconds S  simulated seconds timed after the landing (default 1)\n"
    "  --frames F    timed frames per drawing case (default 60)\n"
    "  --seed S      seed of the first run (default 1)\n"
    "  --all-pairs   step with the all-pairs loop instead of the broad phase\n"
    "  --contacts LIST  contact models of the scene and ball tables, classic and/or stable,\n"
    "                one table each in this order (default stable)\n"
    "  --assets DIR  where body.bmp, floor.bmp and env.bmp are (default the source tree's)\n"
    "  --trace FILE  every thrown-ball step as bodies,step,us,contacts\n";

constexpr int kDrawWidth = 640;  // pixels
constexpr int kDrawHeight = 480; // pixels
constexpr int64_t kMaxBalls = 100000;

struct SOptions
{
    bool quick = false;
    bool csv = false;
    bool scenes = true;
    bool balls = true;
    bool search = true;
    bool draw = true;
    bool ballFrames = true;
    bool instruments = true;
    std::vector<int> ballCounts;
    std::vector<int> sceneList; // empty: all
    int64_t runs = -1;
    float seconds = -1.0f;
    float landSeconds = -1.0f;
    float ballSeconds = -1.0f;
    int64_t frames = -1;
    int64_t seed = 1;
    bool allPairs = false;
    std::vector<EContactModel> contactModels; // empty: stable
    std::string assets = CLATTERBOX_ASSET_DIR;
    std::string trace;
};

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "clatterbox-bench: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ','))
    {
        items.push_back(item);
    }
    if (!text.empty() && text.back() == ',')
    {
        items.push_back("");
    }
    return items;
}

bool ParseOptions(int argc, char** argv, SOptions& options, std::string& problem)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string name = argv[i];
        if (name == "--quick" || name == "--csv" || name == "--all-pairs")
        {
            (name == "--quick" ? options.quick
             : name == "--csv" ? options.csv
                               : options.allPairs) = true;
            continue;
        }
        if (name != "--only" && name != "--balls" && name != "--scenes" && name != "--runs" &&
            name != "--seconds" && name != "--land" && name != "--ball-seconds" &&
            name != "--frames" && name != "--seed" && name != "--assets" && name != "--trace" &&
            name != "--contacts")
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
        if (name == "--only")
        {
            options.scenes = options.balls = options.search = options.draw = options.ballFrames =
                options.instruments = false;
            for (const std::string& part : SplitList(value))
            {
                bool& flag = part == "scenes"        ? options.scenes
                             : part == "balls"       ? options.balls
                             : part == "search"      ? options.search
                             : part == "draw"        ? options.draw
                             : part == "instruments" ? options.instruments
                                                     : options.ballFrames;
                if (part != "scenes" && part != "balls" && part != "search" && part != "draw" &&
                    part != "frames" && part != "instruments")
                {
                    problem = "--only takes scenes, balls, search, draw, frames and instruments, "
                              "not '" +
                              part + "'";
                    return false;
                }
                flag = true;
            }
        }
        else if (name == "--balls")
        {
            options.ballCounts.clear();
            for (const std::string& part : SplitList(value))
            {
                int64_t n = 0;
                if (!ParseInt64(part, 0, kMaxBalls, n))
                {
                    problem = "--balls takes counts from 0 to " + std::to_string(kMaxBalls) +
                              ", not '" + part + "'";
                    return false;
                }
                options.ballCounts.push_back(static_cast<int>(n));
            }
        }
        else if (name == "--scenes")
        {
            options.sceneList.clear();
            for (const std::string& part : SplitList(value))
            {
                int64_t scene = 0;
                if (!ParseInt64(part, 0, kSceneCount - 1, scene))
                {
                    problem = "--scenes takes scene indices from " + SceneIndexRange() + ", not '" +
                              part + "'";
                    return false;
                }
                options.sceneList.push_back(static_cast<int>(scene));
            }
        }
        else if (name == "--runs" || name == "--frames")
        {
            int64_t& target = name == "--runs" ? options.runs : options.frames;
            if (!ParseInt64(value, 1, 100000, target))
            {
                problem = name + " must be a count from 1 to 100000, not '" + value + "'";
                return false;
            }
        }
        else if (name == "--seconds" || name == "--ball-seconds" || name == "--land")
        {
            float& target = name == "--seconds"        ? options.seconds
                            : name == "--ball-seconds" ? options.ballSeconds
                                                       : options.landSeconds;
            const float lowest = name == "--land" ? 0.0f : 0.01f;
            if (!ParseFloat(value, target) || target < lowest || target > 3600.0f)
            {
                problem = name + " must be a number of seconds from " +
                          (name == "--land" ? "0" : "0.01") + " to 3600, not '" + value + "'";
                return false;
            }
        }
        else if (name == "--seed")
        {
            if (!ParseInt64(value, 0, UINT32_MAX - 100000, options.seed))
            {
                problem = "--seed must be an integer from 0 to 4294867295, not '" + value + "'";
                return false;
            }
        }
        else if (name == "--assets")
        {
            options.assets = value;
        }
        else if (name == "--contacts")
        {
            options.contactModels.clear();
            for (const std::string& part : SplitList(value))
            {
                EContactModel model = EContactModel::Stable;
                if (!ParseContactModel(part, model))
                {
                    problem = "--contacts takes classic and stable, not '" + part + "'";
                    return false;
                }
                options.contactModels.push_back(model);
            }
        }
        else
        {
            if (value.empty())
            {
                problem = "--trace needs a file name";
                return false;
            }
            options.trace = value;
        }
    }
    if (options.sceneList.empty())
    {
        for (int scene = 0; scene < kSceneCount; ++scene)
        {
            options.sceneList.push_back(scene);
        }
    }
    if (options.contactModels.empty())
    {
        options.contactModels.push_back(EContactModel::Stable);
    }
    if (options.ballCounts.empty())
    {
        options.ballCounts = options.quick ? std::vector<int>{10, 100, 1000, 3000}
                                           : std::vector<int>{10, 100, 1000, 3000, 10000};
    }
    return true;
}

// The software renderer's threads would share the one core the step runs on;
// unless told otherwise it draws with none besides the caller.
void DrawOnOneCore()
{
    setenv("LP_NUM_THREADS", "0", 0);
}

// The frames of Billiards 1 with thrown balls, today's drawing path against
// the tuned one, then every drawing change alone beside both.
void PrintFrameTables(std::FILE* out, const SOptions& options, uint32_t seed)
{
    SDrawSettings draw;
    draw.frames = static_cast<int>(options.frames > 0 ? options.frames : options.quick ? 10 : 40);
    draw.seed = seed;
    constexpr int kShadow = 2; // true shadows
    constexpr int kEnvironment = 1;
    const std::vector<int> counts = {7, 100, 200, 500, 1000};

    const SDrawTuning plain = SDrawTuning::Plain();
    const SDrawTuning tuned;

    std::vector<std::vector<SBallFrameRow>> rows;
    rows.push_back(TimeBallFrames(counts, kShadow, kEnvironment, plain, draw));
    rows.push_back(TimeBallFrames(counts, kShadow, kEnvironment, tuned, draw));

    const char* threads = std::getenv("LP_NUM_THREADS");
    char settings[240];
    std::snprintf(settings, sizeof settings,
                  "true shadows, reflections, %dx%d headless, %d frames a row, seed %u, "
                  "renderer '%s', LP_NUM_THREADS=%s",
                  kDrawWidth, kDrawHeight, draw.frames, draw.seed,
                  reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                  threads ? threads : "unset");
    SFrameTableContext context;
    context.csv = options.csv;
    context.settings = settings;
    PrintBallFrames(out, context, {"today", "tuned"}, rows);
    std::fflush(out);

    // Each change alone where it stands alone; level of detail needs the
    // shared geometry, the batch needs the reflection in the lit pass.
    std::vector<std::string> names = {"today"};
    std::vector<SDrawTuning> tunings = {plain};
    auto with = [&](const char* name, std::initializer_list<bool SDrawTuning::*> changes)
    {
        SDrawTuning tuning = plain;
        for (bool SDrawTuning::*change : changes)
        {
            tuning.*change = true;
        }
        names.push_back(name);
        tunings.push_back(tuning);
    };
    with("+ shared geometry", {&SDrawTuning::sharedGeometry});
    with("+ view culling", {&SDrawTuning::viewCulling});
    with("+ one-pass reflections", {&SDrawTuning::singlePassReflections});
    with("+ shared, level of detail", {&SDrawTuning::sharedGeometry, &SDrawTuning::levelOfDetail});
    with("+ one-pass, batched",
         {&SDrawTuning::singlePassReflections, &SDrawTuning::batchedSpheres});
    with("+ kept freed memory", {&SDrawTuning::keepFreedMemory});
    // The outlines and the order act on the batch alone, and what the heap
    // does without kept memory swamps them: each is shown as the default
    // without it.
    auto without = [&](const char* name, bool SDrawTuning::*change)
    {
        SDrawTuning tuning = tuned;
        tuning.*change = false;
        names.push_back(name);
        tunings.push_back(tuning);
    };
    without("tuned without outlines", &SDrawTuning::silhouetteShadows);
    without("tuned without nearest first", &SDrawTuning::nearestFirst);
    without("tuned, freed memory given back", &SDrawTuning::keepFreedMemory);
    names.push_back("tuned (all, the default)");
    tunings.push_back(tuned);
    for (const int bodies : {200, 500})
    {
        PrintTuningComparison(out, context, bodies, names,
                              CompareTunings(bodies, kShadow, kEnvironment, tunings, draw));
        std::fflush(out);
    }
}

int RunTables(const SOptions& options)
{
    DrawOnOneCore();
    CHeadlessPlatform platform;
    SetPlatform(&platform);
    CHeadlessGL gl(kDrawWidth, kDrawHeight);
    g_stencilBits = gl.Granted().stencilBits;
    ApplyProjection(kDrawWidth, kDrawHeight);
    ApplyStartState();

    const CSceneTextures textures(options.assets);
    for (const SMessageBoxRecord& box : platform.MessageBoxes())
    {
        std::fprintf(stderr, "clatterbox-bench: %s: %s\n", box.caption.c_str(), box.text.c_str());
    }

    COutputFile traceFile;
    std::FILE* trace = nullptr;
    std::string reason;
    if (!options.trace.empty())
    {
        if (!traceFile.Open(options.trace, reason))
        {
            std::fprintf(stderr, "clatterbox-bench: cannot write '%s': %s\n", options.trace.c_str(),
                         reason.c_str());
            return 1;
        }
        trace = traceFile.Stream();
        std::fprintf(trace, "bodies,step,us,contacts\n");
    }

    SPhysicsSettings physics;
    physics.runs = static_cast<int>(options.runs > 0 ? options.runs : options.quick ? 2 : 5);
    physics.sceneSeconds = options.seconds > 0.0f ? options.seconds : options.quick ? 1.0 : 3.0;
    physics.settleSeconds = options.landSeconds >= 0.0f ? options.landSeconds
                            : options.quick             ? 1.0
                                                        : 5.0;
    physics.ballSeconds = options.ballSeconds > 0.0f ? options.ballSeconds
                          : options.quick            ? 0.2
                                                     : 1.0;
    physics.seed = static_cast<uint32_t>(options.seed);
    physics.allPairs = options.allPairs;
    physics.trace = trace;

    SReportContext context;
    context.csv = options.csv;
    context.allPairs = options.allPairs;
    std::FILE* out = stdout;

    // Every model's rows are measured side by side before any is printed.
    const std::vector<EContactModel>& models = options.contactModels;
    const bool sideBySide = models.size() > 1 && trace == nullptr;
    std::vector<std::vector<SSceneRow>> sceneRows(models.size());
    std::vector<std::vector<SBallRow>> ballRows(models.size());
    // One case's timing under every model: side by side, or one model after
    // the other.
    const auto timeModels = [&](const auto& together, const auto& alone)
    {
        if (sideBySide)
        {
            return together();
        }
        std::vector<SStepTiming> timings;
        for (const EContactModel model : models)
        {
            physics.contacts = model;
            timings.push_back(alone());
        }
        return timings;
    };
    if (options.scenes)
    {
        for (const int scene : options.sceneList)
        {
            const std::vector<SStepTiming> timings =
                timeModels([&] { return TimeSceneModels(scene, physics, models); },
                           [&] { return TimeScene(scene, physics); });
            for (size_t m = 0; m < models.size(); ++m)
            {
                sceneRows[m].push_back({scene, g_sceneNames[scene], timings[m]});
            }
        }
    }
    if (options.balls)
    {
        for (const int n : options.ballCounts)
        {
            const std::vector<SStepTiming> timings =
                timeModels([&] { return TimeThrownBallsModels(n, physics, models); },
                           [&] { return TimeThrownBalls(n, physics); });
            for (size_t m = 0; m < models.size(); ++m)
            {
                ballRows[m].push_back({n, timings[m]});
            }
            if (!options.csv)
            {
                std::fprintf(stderr, "clatterbox-bench: %d balls done\n", n);
            }
        }
    }

    for (size_t m = 0; m < models.size(); ++m)
    {
        const EContactModel model = models[m];
        if (options.scenes)
        {
            char settings[200];
            std::snprintf(
                settings, sizeof settings,
                "%s contacts, %d runs of %.2g s each, seeds from %u, first %lld steps of a "
                "run dropped%s",
                ContactModelName(model), physics.runs, physics.sceneSeconds, physics.seed,
                static_cast<long long>(kDroppedSteps),
                sideBySide ? ", runs alternating with the other models'" : "");
            context.settings = settings;
            PrintScenes(out, context, sceneRows[m]);
            std::fflush(out);
        }

        if (options.balls)
        {
            char settings[200];
            std::snprintf(settings, sizeof settings,
                          "%s contacts, %.2g s to land, then %.2g s timed%s, seed %u",
                          ContactModelName(model), physics.settleSeconds, physics.ballSeconds,
                          sideBySide ? " in stretches alternating with the other models'" : "",
                          physics.seed);
            context.settings = settings;
            PrintBalls(out, context, ballRows[m]);
            std::fflush(out);
        }
    }
    physics.contacts = options.contactModels.front();

    if (options.search)
    {
        std::vector<SSearchRow> rows;
        for (const int n : options.ballCounts)
        {
            rows.push_back({n, TimePairSearch(n, physics)});
            if (!options.csv)
            {
                std::fprintf(stderr, "clatterbox-bench: pair search of %d balls done\n", n);
            }
        }
        char settings[160];
        std::snprintf(settings, sizeof settings,
                      "%lld steps in flight, %.2g s landed after %.2g s, seed %u",
                      static_cast<long long>(kFlightSteps), physics.ballSeconds,
                      physics.settleSeconds, physics.seed);
        context.settings = settings;
        PrintSearch(out, context, rows);
        std::fflush(out);
    }

    if (options.draw)
    {
        SDrawSettings draw;
        draw.frames = static_cast<int>(options.frames > 0 ? options.frames
                                       : options.quick    ? 10
                                                          : 60);
        draw.seed = physics.seed;
        std::vector<SDrawRow> rows;
        for (const int scene : options.sceneList)
        {
            SDrawRow row;
            row.scene = scene;
            row.name = g_sceneNames[scene];
            for (int shadow = 0; shadow < 3; ++shadow)
            {
                for (int env = 0; env < 2; ++env)
                {
                    row.frameMicros[shadow][env] = TimeFrames(scene, shadow, env, draw);
                }
            }
            rows.push_back(row);
        }
        const char* threads = std::getenv("LP_NUM_THREADS");
        char settings[200];
        std::snprintf(settings, sizeof settings,
                      "%dx%d headless, %d frames a case, renderer '%s', LP_NUM_THREADS=%s",
                      kDrawWidth, kDrawHeight, draw.frames,
                      reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                      threads ? threads : "unset");
        context.settings = settings;
        PrintDrawing(out, context, rows);
        std::fflush(out);
    }

    if (options.ballFrames)
    {
        PrintFrameTables(out, options, physics.seed);
    }

    if (options.instruments)
    {
        PrintInstrumentCosts(out, options.csv,
                             static_cast<int>(options.frames > 0 ? options.frames
                                              : options.quick    ? 10
                                                                 : 60),
                             physics.seed);
    }

    SetPlatform(nullptr);
    if (trace && !traceFile.Commit(reason))
    {
        std::fprintf(stderr, "clatterbox-bench: cannot write '%s': %s\n", options.trace.c_str(),
                     reason.c_str());
        return 1;
    }
    return 0;
}

// The peer drop: this tool's own flags are taken out, the rest goes to the
// peers' driver, which parses and reports as every peer does.
int RunPeerWork(int argc, char** argv)
{
    bool allPairs = false;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--peer-work") == 0)
        {
            continue;
        }
        if (std::strcmp(argv[i], "--all-pairs") == 0)
        {
            allPairs = true;
            continue;
        }
        rest.push_back(argv[i]);
    }
    rest.push_back(nullptr);
    CHeadlessPlatform platform;
    SetPlatform(&platform);
    // The balls compile display lists as they are prepared.
    CHeadlessGL gl(16, 16);
    const int code = RunPeerBallDrop(static_cast<int>(rest.size()) - 1, rest.data(), allPairs);
    SetPlatform(nullptr);
    return code;
}
} // namespace

int main(int argc, char** argv)
{
    try
    {
        for (int i = 1; i < argc; ++i)
        {
            if (std::strcmp(argv[i], "--peer-work") == 0)
            {
                return FinishStandardOutput("clatterbox-bench", RunPeerWork(argc, argv));
            }
        }
        if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        {
            std::fputs(kUsage, stdout);
            return FinishStandardOutput("clatterbox-bench", 0);
        }
        SOptions options;
        std::string problem;
        if (!ParseOptions(argc, argv, options, problem))
        {
            return Usage(problem);
        }
        return FinishStandardOutput("clatterbox-bench", RunTables(options));
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "clatterbox-bench: %s\n", error.what());
        return 1;
    }
}
