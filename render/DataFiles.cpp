#include "render/DataFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#ifndef CLATTERBOX_DATA_FROM_BIN
#define CLATTERBOX_DATA_FROM_BIN "../share/clatterbox"
#endif

namespace
{
bool EntryExists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

bool RegularFileExists(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string OwnProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
    {
        return {};
    }
    return std::string(buffer, static_cast<size_t>(length));
}
} // namespace

std::string FindDataFile(const std::string& name, const std::string& programPath)
{
    // A name with a folder in it, or an empty one, is the caller's exact path.
    if (name.empty() || name.find('/') != std::string::npos || EntryExists(name))
    {
        return name;
    }
    const std::string folder = InstalledDataFolder(programPath);
    if (folder.empty())
    {
        return name;
    }
    const std::string installed = folder + "/" + name;
    return RegularFileExists(installed) ? installed : name;
}

std::string InstalledDataFolder(const std::string& programPath)
{
    const std::string::size_type slash = programPath.rfind('/');
    if (slash == std::string::npos)
    {
        return {};
    }
    return programPath.substr(0, slash + 1) + CLATTERBOX_DATA_FROM_BIN;
}

std::string FindDataFile(const std::string& name)
{
    return FindDataFile(name, OwnProgramPath());
}
