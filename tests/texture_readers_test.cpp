// The two image readers on a table of small files: the exact pixels of each
// file that loads, the exact box of each that is refused, and the same answer
// whether the bytes come from a file or from memory.

#include "render/BmpReader.h"
#include "render/ImageFile.h"
#include "render/SgiReader.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TextureCases.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <ostream>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

namespace texture_files
{
// Names the case instead of dumping its bytes.
void PrintTo(const SImageCase& c, std::ostream* out)
{
    *out << c.name;
}
} // namespace texture_files

namespace
{
using texture_files::SImageCase;

std::string WithFile(std::string text, const std::string& file)
{
    const std::string::size_type at = text.find("{file}");
    if (at != std::string::npos)
    {
        text.replace(at, 6, file);
    }
    return text;
}

void ExpectRefusal(const SImageLoad& load, int32_t result, const std::string& text,
                   EMessageIcon icon)
{
    EXPECT_EQ(load.result, result);
    ASSERT_TRUE(load.message.has_value());
    EXPECT_EQ(load.message->caption, "Error");
    EXPECT_EQ(load.message->text, text);
    EXPECT_EQ(load.message->buttons, EMessageButtons::kOk);
    EXPECT_EQ(load.message->icon, icon);
    EXPECT_EQ(load.width, 0);
    EXPECT_EQ(load.height, 0);
    EXPECT_TRUE(load.pixels.empty());
}

class ImageCaseTest : public ::testing::TestWithParam<SImageCase>
{
protected:
    CTempDirectory directory;
};

TEST_P(ImageCaseTest, ReadsAsTheTableSays)
{
    const SImageCase& c = GetParam();
    const std::string file = directory.Write(c.name + c.extension, c.bytes);
    const SImageLoad load = ReadImageFile(file);

    if (c.Loads())
    {
        EXPECT_EQ(load.result, kLoadOk);
        EXPECT_FALSE(load.message.has_value()) << load.message->text;
        EXPECT_EQ(load.width, c.width);
        EXPECT_EQ(load.height, c.height);
        EXPECT_EQ(load.pixels, c.rgba);
    }
    else
    {
        const EMessageIcon icon =
            c.extension == ".bmp" ? EMessageIcon::kError : EMessageIcon::kNone;
        ExpectRefusal(load, c.result, WithFile(c.text, file), icon);
    }

    CMemorySource memory(c.bytes.data(), c.bytes.size());
    const SImageLoad fromMemory = c.extension == ".bmp" ? ReadBmp(memory, file) : ReadSgi(memory);
    EXPECT_EQ(fromMemory.result, load.result);
    EXPECT_EQ(fromMemory.width, load.width);
    EXPECT_EQ(fromMemory.height, load.height);
    EXPECT_EQ(fromMemory.pixels, load.pixels);
    EXPECT_EQ(fromMemory.message.has_value(), load.message.has_value());
}

INSTANTIATE_TEST_SUITE_P(Files, ImageCaseTest, ::testing::ValuesIn(texture_files::AllImageCases()),
                         [](const ::testing::TestParamInfo<SImageCase>& info)
                         { return info.param.name; });

// The reader is chosen by the name alone, exactly and case-sensitively.
struct SNameCase
{
    const char* name;
    const char* text; // {file} for the path
    EMessageIcon icon;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SNameCase& c, std::ostream* out)
{
    *out << c.name;
}

class FileNameTest : public ::testing::TestWithParam<SNameCase>
{
protected:
    CTempDirectory directory;
};

TEST_P(FileNameTest, ChoosesTheReaderByTheLastFourCharacters)
{
    texture_files::SBmpHeader h;
    h.width = 1;
    h.height = 1;
    const std::string file = directory.Write(GetParam().name, MakeBmp(h, {1, 2, 3}));
    const SImageLoad load = ReadImageFile(file);
    if (GetParam().text == nullptr)
    {
        EXPECT_EQ(load.result, kLoadOk);
        EXPECT_EQ(load.pixels, (texture_files::Bytes{3, 2, 1, kTextureAlpha}));
        return;
    }
    ExpectRefusal(load, E_FAIL, WithFile(GetParam().text, file), GetParam().icon);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameTest,
    ::testing::Values(
        SNameCase{"plain.bmp", nullptr, EMessageIcon::kError},
        SNameCase{"capital.BMP", "{file}\n\nInvalid file type.", EMessageIcon::kError},
        SNameCase{"capital.RGB", "{file}\n\nInvalid file type.", EMessageIcon::kError},
        SNameCase{"other.png", "{file}\n\nInvalid file type.", EMessageIcon::kError},
        SNameCase{"twice.bmp.bak", "{file}\n\nInvalid file type.", EMessageIcon::kError},
        // A bitmap's bytes under an SGI name go to the SGI reader.
        SNameCase{"bitmap.rgb", "Invalid rgb file.", EMessageIcon::kNone}),
    [](const ::testing::TestParamInfo<SNameCase>& info)
    {
        std::string name = info.param.name;
        for (char& ch : name)
        {
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        }
        return name;
    });

TEST(ImageFileTest, NameShorterThanAnExtensionIsAnInvalidType)
{
    for (const char* name : {"", "b", "bmp", "rgb"})
    {
        const SImageLoad load = ReadImageFile(name);
        ExpectRefusal(load, E_FAIL, std::string(name) + "\n\nInvalid file type.",
                      EMessageIcon::kError);
    }
}

// A file that cannot be read is reported with the reader's own text first and
// the system's reason on a line of its own. Only regular files are read: a
// directory has no bytes, and a named pipe with no writer or a device would
// block the open or the first read forever.
struct SOpenCase
{
    const char* name;
    // Makes what stands at path; returns the path to read, or empty.
    std::function<std::string(const std::filesystem::path&)> make;
    const char* reason;
};

void PrintTo(const SOpenCase& openCase, std::ostream* out)
{
    *out << openCase.name;
}

class UnopenableFileTest : public ::testing::TestWithParam<std::tuple<SOpenCase, const char*>>
{
};

TEST_P(UnopenableFileTest, NamesTheCause)
{
    const auto& [openCase, ending] = GetParam();
    CTempDirectory directory;
    const std::filesystem::path path = directory.Path() / (std::string("file") + ending);
    const std::string read = openCase.make(path);
    ASSERT_FALSE(read.empty());
    const std::string expected =
        std::string(ending) == ".bmp"
            ? read + "\n\nCould not open file.\n" + openCase.reason
            : "Failed to open image file " + read + ".\n" + openCase.reason;
    std::string text;
    if (std::string(openCase.name) == "permission_refused")
    {
        text = RunUnprivileged([&] { return ReadImageFile(read).message->text; });
    }
    else
    {
        const SImageLoad load = ReadImageFile(read);
        EXPECT_EQ(load.result, E_FAIL);
        ASSERT_TRUE(load.message.has_value());
        text = load.message->text;
    }
    EXPECT_EQ(text, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, UnopenableFileTest,
    ::testing::Combine(
        ::testing::Values(
            SOpenCase{"missing", [](const std::filesystem::path& p) { return p.string(); },
                      "No such file or directory"},
            SOpenCase{"dangling_link",
                      [](const std::filesystem::path& p)
                      {
                          std::filesystem::create_symlink(p.parent_path() / "gone", p);
                          return p.string();
                      },
                      "No such file or directory"},
            SOpenCase{"folder",
                      [](const std::filesystem::path& p)
                      {
                          std::filesystem::create_directory(p);
                          return p.string();
                      },
                      "Is a directory"},
            SOpenCase{"named_pipe",
                      [](const std::filesystem::path& p)
                      { return mkfifo(p.c_str(), 0600) == 0 ? p.string() : std::string(); },
                      "Not a regular file"},
            SOpenCase{"device",
                      [](const std::filesystem::path& p)
                      {
                          std::filesystem::create_symlink("/dev/zero", p);
                          return p.string();
                      },
                      "Not a regular file"},
            SOpenCase{"permission_refused",
                      [](const std::filesystem::path& p)
                      {
                          // The folder open to all, the file to its owner only.
                          std::filesystem::permissions(p.parent_path(),
                                                       std::filesystem::perms(0755));
                          std::ofstream(p) << "BM";
                          return chmod(p.c_str(), 0600) == 0 ? p.string() : std::string();
                      },
                      "Permission denied"}),
        ::testing::Values(".bmp", ".rgb")),
    [](const ::testing::TestParamInfo<UnopenableFileTest::ParamType>& info)
    { return std::string(std::get<0>(info.param).name) + "_" + (std::get<1>(info.param) + 1); });

// The messages hold the whole name however long it is.
TEST(ImageFileTest, LongFileNamesAreReportedWhole)
{
    CTempDirectory directory;
    const std::string base = (directory.Path() / std::string(300, 'n')).string();
    for (const char* ending : {".bmp", ".rgb", ".tga"})
    {
        const SImageLoad load = ReadImageFile(base + ending);
        ASSERT_TRUE(load.message.has_value());
        EXPECT_NE(load.message->text.find(base + ending), std::string::npos) << load.message->text;
    }
}
} // namespace
