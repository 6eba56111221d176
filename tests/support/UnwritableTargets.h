#pragma once
// Paths an output cannot be written to, each with the reason the writer
// gives: the one table that the writer's own test and the tools' tests share.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct SUnwritableTarget
{
    const char* name;
    // Makes what stands at the path inside folder; returns the path.
    std::function<std::filesystem::path(const std::filesystem::path& folder)> make;
    const char* reason;
    // The refusal shows only to a user without privileges (root passes every
    // permission check).
    bool unprivileged = false;
};

inline void PrintTo(const SUnwritableTarget& target, std::ostream* out)
{
    *out << target.name;
}

inline std::vector<SUnwritableTarget> UnwritableTargets()
{
    namespace fs = std::filesystem;
    return {
        {"named_pipe",
         [](const fs::path& folder)
         {
             // Opened for writing, a pipe with no reader blocks for ever.
             EXPECT_EQ(mkfifo((folder / "out.png").c_str(), 0600), 0);
             return folder / "out.png";
         },
         "Not a regular file"},
        {"device",
         [](const fs::path& folder)
         {
             fs::create_symlink("/dev/full", folder / "out.png");
             return folder / "out.png";
         },
         "Not a regular file"},
        {"folder",
         [](const fs::path& folder)
         {
             fs::create_directory(folder / "out.png");
             return folder / "out.png";
         },
         "Is a directory"},
        {"missing_folder", [](const fs::path& folder) { return folder / "no" / "out.png"; },
         "No such file or directory"},
        {"dangling_link",
         [](const fs::path& folder)
         {
             fs::create_symlink(folder / "gone", folder / "out.png");
             return folder / "out.png";
         },
         "No such file or directory"},
        {"folder_not_writable",
         [](const fs::path& folder)
         {
             // A folder that only its owner may write in.
             fs::permissions(folder, fs::perms(0755));
             return folder / "out.png";
         },
         "Permission denied", true},
    };
}

// The test name of a table row.
inline std::string UnwritableTargetName(const ::testing::TestParamInfo<SUnwritableTarget>& info)
{
    return info.param.name;
}
