#include "render/FileSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<CFileSource> CFileSource::Open(const std::string& fileName, std::string& reason)
{
    // Opened without blocking, so that a named pipe with no writer cannot
    // stall the open itself before it is recognised and refused.
    const int descriptor = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
    {
        reason = std::strerror(errno);
        return nullptr;
    }
    struct stat status
    {
    };
    if (fstat(descriptor, &status) != 0)
    {
        reason = std::strerror(errno);
        close(descriptor);
        return nullptr;
    }
    if (!S_ISREG(status.st_mode) || status.st_size < 0)
    {
        reason = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "Not a regular file";
        close(descriptor);
        return nullptr;
    }
    std::FILE* file = nullptr;
    if (fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (file = fdopen(descriptor, "rb")) == nullptr)
    {
        reason = std::strerror(errno);
        close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<CFileSource>(
        new CFileSource(file, static_cast<uint64_t>(status.st_size)));
}

CFileSource::~CFileSource()
{
    std::fclose(m_file);
}

bool CFileSource::ReadAt(uint64_t offset, void* destination, size_t count)
{
    if (offset > m_size || count > m_size - offset ||
        offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max()))
    {
        return false;
    }
    if (count == 0)
    {
        return true;
    }
    if (fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0)
    {
        return false;
    }
    return std::fread(destination, 1, count, m_file) == count;
}
