// clatterbox-shot: builds one scene headless, runs it for a while and writes
// one frame, drawn as the demo draws it, to a PNG file. The three textures are
// read from the working directory, as the demo reads them (or, when one is
// not there, from the folder installed beside the tool).

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "dynamics/Random.h"
#include "render/DataFiles.h"
#include "render/GlStartState.h"
#include "render/OutputFile.h"
#include "render/Platform.h"
#include "render/PngWriter.h"
#include "render/SceneTextures.h"
#include "render/StartupState.h"
#include "render/Texture.h"
#include "tools/CommandLine.h"
#include "tools/StandardOutput.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
constexpr const char* kUsage = "usage: clatterbox-shot --scene N --seconds T [--shadow 0|1|2] "
                               "[--env 0|1] [--size WxH] [--seed S] [--contacts classic|stable] "
                               "--out FILE.png\n";
constexpr int kMaxSide = 4096;         // pixels
constexpr float kMaxSeconds = 3600.0f; // simulated seconds

struct SOptions
{
    int64_t scene = -1;
    float seconds = -1.0f;
    int64_t shadow = -1; // -1: as the stencil depth allows
    int64_t env = -1;    // -1: on, as at start
    int width = 640;     // pixels
    int height = 480;    // pixels
    int64_t seed = -1;   // -1: the world seeds from the clock, which headless reads 0
    std::string out;
    EContactModel contacts = EContactModel::Stable;
};

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "clatterbox-shot: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

bool ParseOptions(int argc, char** argv, SOptions& options, std::string& problem)
{
    bool seenSize = false;
    bool seenContacts = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string name = argv[i];
        if (name != "--scene" && name != "--seconds" && name != "--shadow" && name != "--env" &&
            name != "--size" && name != "--seed" && name != "--out" && name != "--contacts")
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
        bool ok = true;
        if (name == "--scene")
        {
            ok = once(options.scene >= 0);
            if (ok && !ParseInt64(value, 0, kSceneCount - 1, options.scene))
            {
                problem = "--scene must be a scene index from " + SceneIndexRange() + ", not '" +
                          value + "'";
                ok = false;
            }
        }
        else if (name == "--seconds")
        {
            ok = once(options.seconds >= 0.0f);
            if (ok && (!ParseFloat(value, options.seconds) || options.seconds < 0.0f ||
                       options.seconds > kMaxSeconds))
            {
                problem = "--seconds must be a number from 0 to 3600, not '" + value + "'";
                ok = false;
            }
        }
        else if (name == "--shadow")
        {
            ok = once(options.shadow >= 0);
            if (ok && !ParseInt64(value, 0, 2, options.shadow))
            {
                problem = "--shadow must be 0, 1 or 2, not '" + value + "'";
                ok = false;
            }
        }
        else if (name == "--env")
        {
            ok = once(options.env >= 0);
            if (ok && !ParseInt64(value, 0, 1, options.env))
            {
                problem = "--env must be 0 or 1, not '" + value + "'";
                ok = false;
            }
        }
        else if (name == "--size")
        {
            ok = once(seenSize);
            seenSize = true;
            if (ok && !ParseSize(value, kMaxSide, options.width, options.height))
            {
                problem = "--size must be WxH with sides from 1 to 4096, not '" + value + "'";
                ok = false;
            }
        }
        else if (name == "--seed")
        {
            ok = once(options.seed >= 0);
            if (ok && !ParseInt64(value, 0, UINT32_MAX, options.seed))
            {
                problem = "--seed must be an integer from 0 to 4294967295, not '" + value + "'";
                ok = false;
            }
        }
        else if (name == "--contacts")
        {
            ok = once(seenContacts);
            seenContacts = true;
            if (ok && !ParseContactModel(value, options.contacts))
            {
                problem = "--contacts must be classic or stable, not '" + value + "'";
                ok = false;
            }
        }
        else
        {
            ok = once(!options.out.empty());
            if (ok && value.empty())
            {
                problem = "--out needs a file name";
                ok = false;
            }
            options.out = value;
        }
        if (!ok)
        {
            return false;
        }
    }
    if (options.scene < 0 || options.seconds < 0.0f || options.out.empty())
    {
        problem = "--scene, --seconds and --out are required";
        return false;
    }
    return true;
}

int CannotWrite(const SOptions& options, const std::string& reason)
{
    std::fprintf(stderr, "clatterbox-shot: could not write '%s': %s\n", options.out.c_str(),
                 reason.c_str());
    return 1;
}

int Run(const SOptions& options)
{
    // Opened first, so that an output that cannot be written is reported
    // before the scene runs.
    COutputFile out;
    std::string reason;
    if (!out.Open(options.out, reason))
    {
        return CannotWrite(options, reason);
    }

    CHeadlessPlatform platform;
    SetPlatform(&platform);
    CHeadlessGL gl(options.width, options.height);
    g_stencilBits = gl.Granted().stencilBits;
    ApplyProjection(options.width, options.height);
    ApplyStartState();

    const CSceneTextures textures;
    // The demo shows these in boxes and goes on; so does the tool, on stderr.
    for (const SMessageBoxRecord& box : platform.MessageBoxes())
    {
        std::fprintf(stderr, "clatterbox-shot: %s: %s\n", box.caption.c_str(), box.text.c_str());
    }

    int status = 0;
    {
        CWorld world;
        if (options.seed >= 0)
        {
            SeedRandom(static_cast<uint32_t>(options.seed));
        }
        world.sceneIndex = static_cast<int32_t>(options.scene);
        world.contactModel = options.contacts;
        world.Initialize();
        if (options.shadow >= 0)
        {
            world.shadowMode = static_cast<int32_t>(options.shadow);
        }
        if (options.env >= 0)
        {
            world.environmentMapping = static_cast<int32_t>(options.env);
        }

        // The frame loop's rule: whole steps until the clock reaches the time.
        const double end = static_cast<double>(options.seconds);
        double elapsed = 0.0;
        while (elapsed < end)
        {
            world.Step(kSimulationStep);
            elapsed += static_cast<double>(kSimulationStep);
            g_simulatedTime += static_cast<double>(kSimulationStep);
        }

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        world.Draw();
        glFlush();
        const std::vector<uint8_t> pixels = gl.ReadPixels();
        const std::vector<uint8_t> png = EncodePng(options.width, options.height, pixels.data());
        std::fwrite(png.data(), 1, png.size(), out.Stream());
        if (!out.Commit(reason))
        {
            status = CannotWrite(options, reason);
        }
    }
    return status;
}
} // namespace

int main(int argc, char** argv)
{
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
        std::fprintf(stderr, "clatterbox-shot: %s\n", error.what());
    }
    return FinishStandardOutput("clatterbox-shot", status);
}
