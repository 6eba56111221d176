// The one writer of every output file: a target that is not a regular file is
// refused before anything is opened (so nothing can block), a complete write
// replaces the file whole, and a failed one leaves the old file as it was and
// no temporary file behind.

#include "render/OutputFile.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/Unprivileged.h"
#include "tests/support/UnwritableTargets.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool Write(const fs::path& path, const std::string& text, std::string& reason)
{
    return WriteFileAtomically(path.string(), text.data(), text.size(), reason);
}

TEST(OutputFileTest, ReplacesTheFileWholeKeepingItsPermissions)
{
    CTempDirectory directory;
    const fs::path path = directory.Path() / "picture.png";
    std::ofstream(path) << "an older and longer picture";
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    std::string reason;
    ASSERT_TRUE(Write(path, "new", reason)) << reason;
    EXPECT_EQ(Contents(path), "new");
    struct stat status
    {
    };
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(Names(directory.Path()), std::vector<std::string>{"picture.png"});
}

TEST(OutputFileTest, WritesThroughALinkToTheFileItNames)
{
    CTempDirectory directory;
    const fs::path file = directory.Path() / "real.csv";
    const fs::path link = directory.Path() / "link.csv";
    std::ofstream(file) << "old";
    fs::create_symlink(file, link);
    std::string reason;
    ASSERT_TRUE(Write(link, "new", reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(file), "new");
}

class OutputRefusalTest : public ::testing::TestWithParam<SUnwritableTarget>
{
};

TEST_P(OutputRefusalTest, NamesTheCauseAndLeavesTheFolderAsItWas)
{
    CTempDirectory directory;
    const fs::path path = GetParam().make(directory.Path());
    const std::vector<std::string> before = Names(directory.Path());
    std::string reason;
    if (GetParam().unprivileged)
    {
        reason = RunUnprivileged(
            [&]
            {
                std::string why;
                return Write(path, "x", why) ? std::string("written") : why;
            });
    }
    else
    {
        EXPECT_FALSE(Write(path, "x", reason));
    }
    EXPECT_EQ(reason, GetParam().reason);
    EXPECT_EQ(Names(directory.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Targets, OutputRefusalTest, ::testing::ValuesIn(UnwritableTargets()),
                         UnwritableTargetName);

// The file-size limit of `ulimit -f` makes every write past it fail, as a
// full disk does.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

struct SFailedWrite
{
    const char* name;
    // Writes text to path through the helper; false with the reason.
    std::function<bool(const fs::path&, const std::string&, std::string&)> write;
};

void PrintTo(const SFailedWrite& failed, std::ostream* out)
{
    *out << failed.name;
}

class FailedWriteTest : public ::testing::TestWithParam<SFailedWrite>
{
};

TEST_P(FailedWriteTest, KeepsTheOldFileAndRemovesTheTemporaryOne)
{
    CTempDirectory directory;
    const fs::path path = directory.Path() / "picture.png";
    const std::string old = "the good picture";
    std::ofstream(path) << old;
    const std::string big(200 * 1024, 'p');
    std::string reason;
    bool written = true;
    {
        const FileSizeLimit limit(20 * 1024);
        written = GetParam().write(path, big, reason);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(reason, "File too large");
    EXPECT_EQ(Contents(path), old);
    EXPECT_EQ(Names(directory.Path()), std::vector<std::string>{"picture.png"});
}

INSTANTIATE_TEST_SUITE_P(
    Writers, FailedWriteTest,
    ::testing::Values(
        SFailedWrite{"whole", [](const fs::path& path, const std::string& text, std::string& reason)
                     { return Write(path, text, reason); }},
        SFailedWrite{"streamed",
                     [](const fs::path& path, const std::string& text, std::string& reason)
                     {
                         COutputFile file;
                         if (!file.Open(path.string(), reason))
                             return false;
                         // Line by line, as a table is written.
                         for (size_t at = 0; at < text.size(); at += 64)
                             std::fprintf(file.Stream(), "%.63s\n", text.c_str() + at);
                         return file.Commit(reason);
                     }}),
    [](const ::testing::TestParamInfo<SFailedWrite>& info)
    { return std::string(info.param.name); });

TEST(OutputFileTest, AnUncommittedFileLeavesNothingBehind)
{
    CTempDirectory directory;
    const fs::path path = directory.Path() / "table.csv";
    std::ofstream(path) << "old";
    {
        COutputFile file;
        std::string reason;
        ASSERT_TRUE(file.Open(path.string(), reason)) << reason;
        std::fputs("half a table", file.Stream());
    }
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(Names(directory.Path()), std::vector<std::string>{"table.csv"});
}
} // namespace
