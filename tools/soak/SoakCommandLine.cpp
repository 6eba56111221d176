#include <cerrno>
#include <cstdlib>
#include <exception>
#include <string>

#include "tools/CommandLine.h"
#include "tools/soak/Soak.h"
#include "world/SceneTable.h"

namespace
{
constexpr const char* kUsage =
    "usage: clatterbox-sim --soak SECONDS --seed S [--scene N] [--contacts classic|stable]\n";

// Ten hours of simulated time a scene: all eleven take hours, not days.
constexpr double kMaxSecondsPerScene = 36000.0;

bool ParseSeconds(const std::string& text, double& value)
{
    if (!IsDecimalNumber(text) || !(text[0] == '.' || (text[0] >= '0' && text[0] <= '9')))
        return false;
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !(parsed > 0.0) ||
        parsed > kMaxSecondsPerScene)
        return false;
    value = parsed;
    return true;
}
} // namespace

bool IsSoakCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--soak")
            return true;
    return false;
}

int SoakMain(int argc, char** argv)
{
    SSoakOptions options;
    bool haveSeconds = false;
    bool haveSeed = false;
    bool haveContacts = false;
    std::string problem;
    for (int i = 1; i < argc && problem.empty(); ++i)
    {
        const std::string name = argv[i];
        if (name != "--soak" && name != "--seed" && name != "--scene" && name != "--contacts")
        {
            problem = "unknown argument '" + name + "' with --soak";
            break;
        }
        if (i + 1 >= argc)
        {
            problem = name + " needs a value";
            break;
        }
        const std::string value = argv[++i];
        int64_t number = 0;
        if (name == "--soak")
        {
            if (haveSeconds)
                problem = "--soak given twice";
            else if (!ParseSeconds(value, options.secondsPerScene))
                problem = "--soak must be a number of seconds above 0 and at most " +
                          ShortestText(kMaxSecondsPerScene) + ", not '" + value + "'";
            haveSeconds = true;
        }
        else if (name == "--seed")
        {
            if (haveSeed)
                problem = "--seed given twice";
            else if (!ParseInt64(value, 0, UINT32_MAX, number))
                problem = "--seed must be an integer from 0 to 4294967295, not '" + value + "'";
            options.seed = static_cast<uint32_t>(number);
            haveSeed = true;
        }
        else if (name == "--contacts")
        {
            if (haveContacts)
                problem = "--contacts given twice";
            else if (!ParseContactModel(value, options.contacts))
                problem = "--contacts must be classic or stable, not '" + value + "'";
            haveContacts = true;
        }
        else
        {
            if (options.scene >= 0)
                problem = "--scene given twice";
            else if (!ParseInt64(value, 0, kSceneCount - 1, number))
                problem = "--scene must be a scene index from " + SceneIndexRange() + ", not '" +
                          value + "'";
            options.scene = static_cast<int>(number);
        }
    }
    if (problem.empty() && !(haveSeconds && haveSeed))
        problem = "--soak and --seed are required";
    if (!problem.empty())
    {
        std::fprintf(stderr, "clatterbox-sim: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    try
    {
        return RunSoak(options, stdout, stderr);
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "clatterbox-sim: %s\n", error.what());
        return 1;
    }
}
