// Where the demo and the shot tool read a texture from: the working
// directory's entry wins, even a broken one (its error is then the one shown);
// the folder installed with the program serves only a name that the working
// directory does not have.

#include <gtest/gtest.h>

#include <ostream>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "render/DataFiles.h"
#include "tests/support/TempDirectory.h"

namespace
{
enum class EEntry
{
    kNone,
    kFile,
    kFolder,
    kDanglingLink,
};

struct SDataFileCase
{
    const char* name;
    EEntry inWorkingDirectory;
    EEntry installed;
    bool expectInstalled;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SDataFileCase& c, std::ostream* out)
{
    *out << c.name;
}

void Make(const std::filesystem::path& path, EEntry entry)
{
    switch (entry)
    {
    case EEntry::kNone:
        break;
    case EEntry::kFile:
        std::ofstream(path) << "BM";
        break;
    case EEntry::kFolder:
        std::filesystem::create_directory(path);
        break;
    case EEntry::kDanglingLink:
        std::filesystem::create_symlink(path.string() + ".gone", path);
        break;
    }
}

// Runs the test in a working directory of its own and puts it back after.
class DataFilesTest : public ::testing::TestWithParam<SDataFileCase>
{
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::create_directory(m_root.Path() / "work");
        std::filesystem::current_path(m_root.Path() / "work");
    }
    void TearDown() override { std::filesystem::current_path(m_previous); }

    CTempDirectory m_root;
    std::filesystem::path m_previous;
};

TEST_P(DataFilesTest, WorkingDirectoryFirstThenTheInstalledFolder)
{
    const SDataFileCase& c = GetParam();
    const std::string program = (m_root.Path() / "prefix" / "bin" / "clatterbox").string();
    const std::filesystem::path installed = InstalledDataFolder(program);
    std::filesystem::create_directories(installed);
    Make("floor.bmp", c.inWorkingDirectory);
    Make(installed / "floor.bmp", c.installed);

    const std::string found = FindDataFile("floor.bmp", program);

    if (c.expectInstalled)
    {
        EXPECT_EQ(found, (installed / "floor.bmp").string());
        EXPECT_TRUE(std::ifstream(found).good());
    }
    else
    {
        EXPECT_EQ(found, "floor.bmp");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DataFilesTest,
    ::testing::Values(
        SDataFileCase{"NowhereKeepsTheName", EEntry::kNone, EEntry::kNone, false},
        SDataFileCase{"OnlyInstalled", EEntry::kNone, EEntry::kFile, true},
        SDataFileCase{"WorkingDirectoryWins", EEntry::kFile, EEntry::kFile, false},
        SDataFileCase{"BrokenLinkHereIsStillHere", EEntry::kDanglingLink, EEntry::kFile, false},
        SDataFileCase{"FolderHereIsStillHere", EEntry::kFolder, EEntry::kFile, false},
        SDataFileCase{"InstalledFolderIsNoFile", EEntry::kNone, EEntry::kFolder, false}),
    [](const ::testing::TestParamInfo<SDataFileCase>& info) { return info.param.name; });

TEST(DataFilesPathTest, InstalledFolderIsBesideTheProgramsFolder)
{
    const std::string folder = InstalledDataFolder("/opt/x/bin/clatterbox");
    EXPECT_EQ(folder.rfind("/opt/x/bin/", 0), 0u);
    EXPECT_EQ(std::filesystem::path(folder).lexically_normal(),
              std::filesystem::path("/opt/x/share/clatterbox"));
    EXPECT_EQ(InstalledDataFolder("clatterbox"), "");
    // A path the caller gave with a folder is used as it is.
    EXPECT_EQ(FindDataFile("/no/such/floor.bmp", "/opt/x/bin/clatterbox"), "/no/such/floor.bmp");
}
} // namespace
