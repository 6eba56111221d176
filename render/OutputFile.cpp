#include "render/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace
{
// The longest part of the target's name kept in the temporary file's name,
// so that the temporary name stays within the system's limit of 255.
constexpr std::size_t kNameKept = 200;
constexpr int kNameAttempts = 100;

std::string SystemText(int error)
{
    return std::strerror(error);
}

// With its default action a file-size limit (ulimit -f) kills the process in
// the middle of a write, before the temporary file can be removed; ignored,
// the write fails with "File too large" and is handled as any other failure.
void IgnoreFileSizeSignal()
{
    static const bool ignored = [] { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }();
    (void)ignored;
}

void SplitPath(const std::string& path, std::string& folder, std::string& name)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
    {
        folder = ".";
        name = path;
        return;
    }
    folder = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
}
} // namespace

COutputFile::~COutputFile()
{
    Discard();
}

void COutputFile::Discard()
{
    if (m_stream != nullptr)
    {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    if (!m_temporary.empty())
    {
        unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

bool COutputFile::Open(const std::string& path, std::string& reason)
{
    Discard();
    IgnoreFileSizeSignal();
    if (path.empty())
    {
        reason = SystemText(ENOENT);
        return false;
    }
    m_target = path;
    mode_t mode = 0666; // for a new file, less the umask
    struct stat status
    {
    };
    if (lstat(path.c_str(), &status) == 0)
    {
        // A link is followed: the file it names is replaced, the link stays.
        if (stat(path.c_str(), &status) != 0)
        {
            reason = SystemText(errno);
            return false;
        }
        if (S_ISDIR(status.st_mode))
        {
            reason = SystemText(EISDIR);
            return false;
        }
        if (!S_ISREG(status.st_mode))
        {
            reason = "Not a regular file";
            return false;
        }
        // A file the user may not write is not replaced behind their back.
        if (access(path.c_str(), W_OK) != 0)
        {
            reason = SystemText(errno);
            return false;
        }
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr)
        {
            reason = SystemText(errno);
            return false;
        }
        m_target = resolved;
        mode = status.st_mode & 07777;
    }
    else if (errno != ENOENT)
    {
        reason = SystemText(errno);
        return false;
    }

    std::string folder;
    std::string name;
    SplitPath(m_target, folder, name);
    if (name.empty())
    {
        reason = SystemText(EISDIR);
        return false;
    }
    int descriptor = -1;
    for (int attempt = 0; attempt < kNameAttempts && descriptor < 0; ++attempt)
    {
        m_temporary = folder + "/." + name.substr(0, kNameKept) + ".tmp-" +
                      std::to_string(getpid()) + "-" + std::to_string(attempt);
        descriptor =
            open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (descriptor < 0 && errno != EEXIST)
            break;
    }
    if (descriptor < 0)
    {
        reason = SystemText(errno);
        m_temporary.clear();
        return false;
    }
    // The umask does not narrow an existing file's permissions.
    if (mode != 0666)
        fchmod(descriptor, mode);
    m_stream = fdopen(descriptor, "wb");
    if (m_stream == nullptr)
    {
        reason = SystemText(errno);
        close(descriptor);
        Discard();
        return false;
    }
    return true;
}

bool COutputFile::Commit(std::string& reason)
{
    if (m_stream == nullptr)
    {
        reason = SystemText(EBADF);
        return false;
    }
    int error = 0;
    if (std::ferror(m_stream))
        error = errno != 0 ? errno : EIO;
    else if (std::fflush(m_stream) != 0)
        error = errno;
    else if (fsync(fileno(m_stream)) != 0)
        error = errno;
    const int closed = std::fclose(m_stream);
    m_stream = nullptr;
    if (error == 0 && closed != 0)
        error = errno;
    if (error == 0 && rename(m_temporary.c_str(), m_target.c_str()) != 0)
        error = errno;
    if (error != 0)
    {
        reason = SystemText(error);
        Discard();
        return false;
    }
    m_temporary.clear();
    // The rename itself reaches the disk with the folder's entry.
    std::string folder;
    std::string name;
    SplitPath(m_target, folder, name);
    const int directory = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0)
    {
        fsync(directory);
        close(directory);
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         std::string& reason)
{
    COutputFile file;
    if (!file.Open(path, reason))
        return false;
    errno = 0;
    if (size > 0 && std::fwrite(data, 1, size, file.Stream()) != size)
    {
        reason = SystemText(errno != 0 ? errno : EIO);
        return false;
    }
    return file.Commit(reason);
}
