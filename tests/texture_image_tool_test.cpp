// clatterbox-image end to end: its digest against the system's sha256sum over
// the RGBA block the readers should produce, at sizes that put the end of the
// data on every side of SHA-256's padding boundary, and its refusals.

#include "tests/support/TempDirectory.h"
#include "tests/support/TextureFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace
{
using texture_files::Bytes;

struct SRun
{
    std::string output;
    int status = -1;
};

SRun RunCommand(const std::string& command)
{
    SRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        ADD_FAILURE() << "cannot run " << command;
        return run;
    }
    char buffer[256];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    {
        run.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

SRun RunTool(const std::string& file)
{
    return RunCommand(std::string("'") + CLATTERBOX_IMAGE_TOOL + "' '" + file + "'");
}

class ImageToolTest : public ::testing::TestWithParam<std::pair<int, int>>
{
protected:
    CTempDirectory directory;
};

TEST_P(ImageToolTest, PrintsSizeAndDigestOfTheRgbaBlock)
{
    const auto [width, height] = GetParam();
    texture_files::SBmpHeader h;
    h.width = width;
    h.height = height;
    Bytes stored(static_cast<size_t>(width) * height * 3);
    Bytes rgba;
    for (size_t i = 0; i < stored.size(); ++i)
    {
        stored[i] = static_cast<uint8_t>(i * 31 + 5);
    }
    for (size_t p = 0; p < stored.size(); p += 3)
    {
        rgba.insert(rgba.end(), {stored[p + 2], stored[p + 1], stored[p], 128});
    }
    const std::string image = directory.Write("image.bmp", MakeBmp(h, stored));
    const std::string block = directory.Write("expected.rgba", rgba);

    const SRun reference = RunCommand("sha256sum '" + block + "'");
    ASSERT_EQ(reference.status, 0);
    const std::string digest = reference.output.substr(0, 64);

    const SRun tool = RunTool(image);
    EXPECT_EQ(tool.status, 0);
    EXPECT_EQ(tool.output,
              "ok " + std::to_string(width) + "x" + std::to_string(height) + " " + digest + "\n");
}

// RGBA blocks of 4, 52, 56, 60, 64, 124, 128 and 4096 bytes.
INSTANTIATE_TEST_SUITE_P(Sizes, ImageToolTest,
                         ::testing::Values(std::pair{1, 1}, std::pair{1, 13}, std::pair{1, 14},
                                           std::pair{1, 15}, std::pair{4, 4}, std::pair{1, 31},
                                           std::pair{32, 1}, std::pair{32, 32}));

// Files written by another program, ImageMagick: its 24-bit bitmap and its
// verbatim and run-length SGI images of the same picture read to the same
// pixels as the project's own bitmap.
TEST(ImageToolInteropTest, OtherWritersFilesReadToTheSamePixels)
{
    CTempDirectory directory;
    const std::string floor =
        (std::filesystem::path(CLATTERBOX_SOURCE_DIR) / "assets" / "floor.bmp").string();
    const SRun own = RunTool(floor);
    ASSERT_EQ(own.status, 0) << own.output;
    ASSERT_EQ(own.output.substr(0, 11), "ok 256x256 ");

    for (const char* target : {"BMP3:copy.bmp", "SGI:verbatim.rgb", "SGI:runs.rgb"})
    {
        const std::string format = target;
        const std::string file = (directory.Path() / format.substr(format.find(':') + 1)).string();
        const std::string compress = format.find("runs") != std::string::npos ? "RLE" : "None";
        const SRun convert =
            RunCommand("convert '" + floor + "' -type truecolor -compress " + compress + " '" +
                       format.substr(0, format.find(':') + 1) + file + "' 2>&1");
        ASSERT_EQ(convert.status, 0) << convert.output;
        const SRun tool = RunTool(file);
        EXPECT_EQ(tool.status, 0) << target;
        EXPECT_EQ(tool.output, own.output) << target;
    }
}

TEST(ImageToolRefusalTest, PrintsTheLoadersMessageAndFails)
{
    CTempDirectory directory;
    const std::string missing = (directory.Path() / "floor.bmp").string();
    const std::string broken = directory.Write("env.rgb", {0x01, 0xDA, 0, 1});
    const std::string wrongType = directory.Write("body.png", {1, 2, 3});

    const struct
    {
        std::string file;
        std::string output;
    } cases[] = {
        {missing, missing + "\n\nCould not open file.\n"},
        {broken, "Invalid rgb file.\n"},
        {wrongType, wrongType + "\n\nInvalid file type.\n"},
    };
    for (const auto& c : cases)
    {
        const SRun tool = RunTool(c.file);
        EXPECT_EQ(tool.status, 1) << c.file;
        EXPECT_EQ(tool.output, c.output);
    }
}
} // namespace
