#include "render/FileSource.h"

#include <limits>
#include <sys/stat.h>

std::unique_ptr<CFileSource> CFileSource::Open(const std::string& fileName)
{
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr)
    {
        return nullptr;
    }
    struct stat status
    {
    };
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0)
    {
        std::fclose(file);
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
