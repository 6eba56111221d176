// The headless tools at the edges a hostile or careless user reaches: outputs
// that are not regular files, writes that fail half way, a standard output
// that cannot be written, and option values that are hexadecimal, too fast
// for the pusher or long enough to run for days.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempDirectory.h"
#include "tests/support/UnwritableTargets.h"

namespace
{
namespace fs = std::filesystem;

// The tools are built at the top of the build tree, one level above the test
// executables.
std::string Tool(const char* name)
{
    return "'" + (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / name).string() +
           "'";
}

struct SRun
{
    int status = -1;
    std::string err;
};

// Runs a shell command line with stderr captured; stdout goes where the line
// sends it. A tool that hangs is stopped after a minute and reads as status
// 124.
SRun Shell(const std::string& line)
{
    const fs::path errors =
        fs::temp_directory_path() / ("tool_edges_" + std::to_string(getpid()) + ".err");
    std::string quoted;
    for (const char c : line)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const std::string command =
        "timeout -k 5 60 sh -c '" + quoted + "' 2>'" + errors.string() + "'";
    const int status = std::system(command.c_str());
    SRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errors);
    run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    fs::remove(errors);
    return run;
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Shot(const fs::path& out, const char* size = "64x48")
{
    return Tool("clatterbox-shot") + " --scene 0 --seconds 0 --size " + size + " --out '" +
           out.string() + "'";
}

class ShotTargetTest : public ::testing::TestWithParam<SUnwritableTarget>
{
};

TEST_P(ShotTargetTest, RefusesWithTheReasonAndWritesNothing)
{
    CTempDirectory directory;
    const fs::path out = GetParam().make(directory.Path());
    const std::vector<std::string> before = Names(directory.Path());
    const std::string prefix = GetParam().unprivileged && geteuid() == 0
                                   ? "setpriv --reuid=65534 --regid=65534 --clear-groups "
                                   : "";
    const SRun run = Shell("cd '" + directory.Path().string() + "' && " + prefix + Shot(out));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("could not write '" + out.string() + "': " + GetParam().reason),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Names(directory.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Outputs, ShotTargetTest, ::testing::ValuesIn(UnwritableTargets()),
                         UnwritableTargetName);

// A picture of 640 x 480 is about 900 KB; a file-size limit of 20 KB fails
// its write as a full disk would.
TEST(ShotWriteTest, AFailedWriteKeepsThePreviousPicture)
{
    CTempDirectory directory;
    const fs::path out = directory.Path() / "good.png";
    std::ofstream(out) << "the good picture";
    const SRun run =
        Shell("cd '" + directory.Path().string() + "' && ulimit -f 20 && " + Shot(out, "640x480"));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("could not write '" + out.string() + "': File too large"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Contents(out), "the good picture");
    EXPECT_EQ(Names(directory.Path()), std::vector<std::string>{"good.png"});
}

// A tool run whose standard output is lost: {folder} stands for a folder of
// the project's textures.
struct SOutputRun
{
    const char* name;
    const char* tool;
    const char* arguments;
};

void PrintTo(const SOutputRun& run, std::ostream* out)
{
    *out << run.name;
}

class LostOutputTest : public ::testing::TestWithParam<SOutputRun>
{
};

TEST_P(LostOutputTest, FailsWithAMessage)
{
    CTempDirectory directory;
    const std::string folder = directory.Path().string();
    ASSERT_EQ(Shell(Tool("clatterbox-make-textures") + " '" + folder + "' >/dev/null").status, 0);
    std::string arguments = GetParam().arguments;
    const std::string::size_type at = arguments.find("{folder}");
    if (at != std::string::npos)
        arguments.replace(at, 8, folder);
    const SRun run = Shell(Tool(GetParam().tool) + " " + arguments + " >/dev/full");
    EXPECT_NE(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(std::string(GetParam().tool) + ": could not write the standard output"),
              std::string::npos)
        << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Tools, LostOutputTest,
    ::testing::Values(SOutputRun{"image", "clatterbox-image", "{folder}/body.bmp"},
                      SOutputRun{"sim", "clatterbox-sim", "--scene 0 --seed 1 --steps 1"},
                      SOutputRun{"soak", "clatterbox-sim", "--soak 0.1 --seed 1 --scene 0"},
                      SOutputRun{"make_textures", "clatterbox-make-textures", "{folder}"},
                      SOutputRun{"bench_help", "clatterbox-bench", "--help"},
                      SOutputRun{"contact_share", "clatterbox-contact-share",
                                 "--scene 0 --steps 10"}),
    [](const ::testing::TestParamInfo<SOutputRun>& info) { return std::string(info.param.name); });

// An option value refused with usage status 2, and a part of the message.
struct SRefusedOption
{
    const char* name;
    const char* tool;
    const char* arguments;
    const char* message;
};

void PrintTo(const SRefusedOption& option, std::ostream* out)
{
    *out << option.name;
}

class RefusedOptionTest : public ::testing::TestWithParam<SRefusedOption>
{
};

TEST_P(RefusedOptionTest, SaysWhatIsAccepted)
{
    const SRun run = Shell(Tool(GetParam().tool) + " " + GetParam().arguments + " >/dev/null");
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Options, RefusedOptionTest,
    ::testing::Values(
        SRefusedOption{"sim_steps_for_days", "clatterbox-sim",
                       "--scene 0 --seed 1 --steps 10000001",
                       "--steps must be an integer from 0 to 10000000"},
        SRefusedOption{"sim_push_hexadecimal", "clatterbox-sim",
                       "--scene 0 --seed 1 --steps 1 --push 0x10,0,0:1", "--push must be"},
        SRefusedOption{"sim_push_faster_than_the_pusher", "clatterbox-sim",
                       "--scene 0 --seed 1 --steps 1 --push 300,300,0:1",
                       "--push speed 424.264 is above the pusher's limit of 400 units/s"},
        SRefusedOption{"soak_for_days", "clatterbox-sim", "--soak 36001 --seed 1",
                       "--soak must be a number of seconds above 0 and at most 36000"},
        SRefusedOption{"soak_hexadecimal", "clatterbox-sim", "--soak 0x1p4 --seed 1",
                       "--soak must be"},
        SRefusedOption{"shot_seconds_for_days", "clatterbox-shot", "--scene 0 --seconds 3601",
                       "--seconds must be a number from 0 to 3600"},
        SRefusedOption{"shot_seconds_hexadecimal", "clatterbox-shot", "--scene 0 --seconds 0x1p1",
                       "--seconds must be"},
        SRefusedOption{"bench_seconds_hexadecimal", "clatterbox-bench", "--seconds 0x1p1",
                       "--seconds must be"},
        SRefusedOption{"bench_peer_seconds_hexadecimal", "clatterbox-bench",
                       "--peer-work --seconds 0x1p1", "bad value \"0x1p1\" for --seconds"},
        SRefusedOption{"contact_share_steps_for_days", "clatterbox-contact-share",
                       "--scene 0 --steps 10000001",
                       "--steps must be an integer from 1 to 10000000"}),
    [](const ::testing::TestParamInfo<SRefusedOption>& info)
    { return std::string(info.param.name); });

TEST(PushLimitTest, SimTakesPushesAtThePushersLimit)
{
    const SRun run = Shell(Tool("clatterbox-sim") +
                           " --scene 0 --seed 1 --steps 2 --push 0,0,-400:1 --push 0,240,320:1"
                           " >/dev/null");
    EXPECT_EQ(run.status, 0) << run.err;
}
} // namespace
