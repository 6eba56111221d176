// The headless scene tools as a script would use them: clatterbox-sim's
// output format, its repeatability for a seed and push script, its step
// blocks and its refusals; clatterbox-shot's picture file.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

// The tools are built at the top of the build tree, one level above the test
// executables.
fs::path ToolPath(const char* name)
{
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / name;
}

struct SResult
{
    int status = -1;
    std::string out;
};

// Runs the tool with the arguments (no shell), stdout captured, stderr kept
// in a file beside it.
SResult RunTool(const char* tool, const std::vector<std::string>& args,
                std::string* errors = nullptr)
{
    const fs::path path = ToolPath(tool);
    const fs::path errorFile =
        fs::temp_directory_path() / ("scene_tools_" + std::to_string(getpid()) + ".err");
    std::string command = "'" + path.string() + "'";
    for (const std::string& arg : args)
    {
        command += " '" + arg + "'";
    }
    command += " 2>'" + errorFile.string() + "'";
    SResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        return result;
    }
    std::array<char, 4096> buffer{};
    size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    {
        result.out.append(buffer.data(), read);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (errors != nullptr)
    {
        std::ifstream in(errorFile);
        std::stringstream text;
        text << in.rdbuf();
        *errors = text.str();
    }
    fs::remove(errorFile);
    return result;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        lines.push_back(line);
    }
    return lines;
}

class SceneToolsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* tool : {"clatterbox-sim", "clatterbox-shot"})
        {
            ASSERT_TRUE(fs::exists(ToolPath(tool)))
                << ToolPath(tool) << " is missing: build all targets before the tests";
        }
    }
};

TEST_F(SceneToolsTest, SimPrintsTheBuiltWorldWithNoSteps)
{
    const SResult r = RunTool("clatterbox-sim", {"--scene", "0", "--seed", "3", "--steps", "0"});
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "body 0 0 -30 3.5 0 0 0 0 0 0 1 0 0 0 0 1");
    EXPECT_EQ(lines[1].rfind("body 1 0 6.5129509 3.5 ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[7], "pusher 0 -50 3 0 0 0 0 0 0 1 0 0 0 0 1");
}

TEST_F(SceneToolsTest, SimStepsWithTheStableContactsUnlessToldClassic)
{
    const std::vector<std::string> args = {"--scene", "7", "--seed", "1", "--steps", "2000"};
    const auto with = [&](const char* model)
    {
        std::vector<std::string> more = args;
        more.insert(more.end(), {"--contacts", model});
        return RunTool("clatterbox-sim", more);
    };
    const SResult plain = RunTool("clatterbox-sim", args);
    const SResult stable = with("stable");
    const SResult classic = with("classic");
    ASSERT_EQ(plain.status, 0);
    ASSERT_EQ(stable.status, 0);
    ASSERT_EQ(classic.status, 0);
    EXPECT_EQ(plain.out, stable.out);
    EXPECT_NE(classic.out, stable.out);
}

TEST_F(SceneToolsTest, SameSeedAndPushScriptGiveTheSameRun)
{
    const std::vector<std::string> args = {"--scene", "4",           "--seed",      "12345",
                                           "--steps", "400",         "--push",      "0,80,0:150",
                                           "--push",  "40,0,-5:100", "--add-balls", "2"};
    const SResult first = RunTool("clatterbox-sim", args);
    const SResult second = RunTool("clatterbox-sim", args);
    ASSERT_EQ(first.status, 0);
    ASSERT_EQ(second.status, 0);
    // Five scene bodies, two added balls and the pusher.
    EXPECT_EQ(Lines(first.out).size(), 8u);
    EXPECT_EQ(first.out, second.out);

    std::vector<std::string> otherSeed = args;
    otherSeed[3] = "12346";
    EXPECT_NE(RunTool("clatterbox-sim", otherSeed).out, first.out);
}

TEST_F(SceneToolsTest, PushSegmentsMoveThePusherInTurnThenStop)
{
    const SResult r = RunTool("clatterbox-sim", {"--scene", "10", "--seed", "1", "--steps", "30",
                                                 "--push", "100,0,0:10", "--push", "0,-50,0:5"});
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    // 10 steps at 100 along x, 5 at -50 along y, then at rest.
    std::istringstream pusher(lines.back());
    std::string label;
    float x = 0, y = 0, z = 0, vx = 1, vy = 1, vz = 1;
    pusher >> label >> x >> y >> z >> vx >> vy >> vz;
    EXPECT_EQ(label, "pusher");
    EXPECT_NEAR(x, 2.0f, 1e-4f);
    EXPECT_NEAR(y, -50.5f, 1e-4f);
    EXPECT_EQ(z, 12.0f);
    EXPECT_EQ(vx, 0.0f);
    EXPECT_EQ(vy, 0.0f);
    EXPECT_EQ(vz, 0.0f);
}

TEST_F(SceneToolsTest, EveryPrintsStepBlocksAndTheRemainderOnce)
{
    const auto blocks = [](const std::string& out, std::vector<std::string>& steps)
    {
        int pushers = 0;
        for (const std::string& line : Lines(out))
        {
            if (line.rfind("step ", 0) == 0)
            {
                steps.push_back(line);
            }
            pushers += line.rfind("pusher ", 0) == 0 ? 1 : 0;
        }
        return pushers;
    };
    std::vector<std::string> steps;
    const SResult odd =
        RunTool("clatterbox-sim", {"--scene", "1", "--seed", "1", "--steps", "5", "--every", "2"});
    ASSERT_EQ(odd.status, 0);
    EXPECT_EQ(blocks(odd.out, steps), 3);
    EXPECT_EQ(steps, (std::vector<std::string>{"step 2", "step 4"}));

    steps.clear();
    const SResult even =
        RunTool("clatterbox-sim", {"--scene", "1", "--seed", "1", "--steps", "4", "--every", "2"});
    ASSERT_EQ(even.status, 0);
    EXPECT_EQ(blocks(even.out, steps), 2);
    EXPECT_EQ(steps, (std::vector<std::string>{"step 2", "step 4"}));
    // The last block is the state after step 4, as a run without --every shows.
    const SResult plain =
        RunTool("clatterbox-sim", {"--scene", "1", "--seed", "1", "--steps", "4"});
    EXPECT_EQ(even.out.substr(even.out.rfind("step 4\n") + 7), plain.out);
}

TEST_F(SceneToolsTest, SimRefusesWrongArgumentsWithUsage)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--scene", "0", "--seed", "1"},
        {"--scene", "11", "--seed", "1", "--steps", "1"},
        {"--scene", "-1", "--seed", "1", "--steps", "1"},
        {"--scene", "0", "--seed", "-1", "--steps", "1"},
        {"--scene", "0", "--seed", "4294967296", "--steps", "1"},
        {"--scene", "0", "--seed", "1", "--steps", "ten"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--push", "1,2:3"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--push", "1,2,3"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--push", "1,2,nan:3"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--every", "0"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--add-balls", "-2"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--scene", "2"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--frobnicate"},
        {"--scene", "0", "--seed", "1", "--steps"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--contacts", "sticky"},
        {"--scene", "0", "--seed", "1", "--steps", "1", "--contacts", "classic", "--contacts",
         "stable"},
    };
    for (const std::vector<std::string>& args : cases)
    {
        std::string errors;
        const SResult r = RunTool("clatterbox-sim", args, &errors);
        std::string joined;
        for (const std::string& a : args)
        {
            joined += a + " ";
        }
        EXPECT_EQ(r.status, 2) << joined;
        EXPECT_TRUE(r.out.empty()) << joined;
        EXPECT_NE(errors.find("usage: clatterbox-sim --scene N --seed S --steps K"),
                  std::string::npos)
            << joined << ": " << errors;
    }
}

TEST_F(SceneToolsTest, ShotWritesAPictureOfTheRequestedSize)
{
    const fs::path out =
        fs::temp_directory_path() / ("scene_shot_" + std::to_string(getpid()) + ".png");
    const SResult r = RunTool("clatterbox-shot", {"--scene", "2", "--seconds", "0.1", "--size",
                                                  "64x48", "--seed", "1", "--out", out.string()});
    ASSERT_EQ(r.status, 0);
    std::ifstream in(out, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    fs::remove(out);
    ASSERT_GT(bytes.size(), 24u);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, bytes.begin()));
    const auto be32 = [&](size_t at)
    { return (bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3]; };
    EXPECT_EQ(be32(16), 64);
    EXPECT_EQ(be32(20), 48);
}

TEST_F(SceneToolsTest, ShotRefusesWrongArgumentsWithUsage)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--scene", "0", "--seconds", "1"},
        {"--scene", "0", "--out", "x.png"},
        {"--scene", "0", "--seconds", "-1", "--out", "x.png"},
        {"--scene", "0", "--seconds", "1", "--shadow", "3", "--out", "x.png"},
        {"--scene", "0", "--seconds", "1", "--env", "2", "--out", "x.png"},
        {"--scene", "0", "--seconds", "1", "--size", "640", "--out", "x.png"},
        {"--scene", "0", "--seconds", "1", "--size", "0x10", "--out", "x.png"},
    };
    for (const std::vector<std::string>& args : cases)
    {
        std::string errors;
        EXPECT_EQ(RunTool("clatterbox-shot", args, &errors).status, 2) << args.size();
        EXPECT_NE(errors.find("usage: clatterbox-shot"), std::string::npos) << errors;
    }
}

} // namespace
