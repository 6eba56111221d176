#pragma once
// An image source over a regular file opened for binary reading. Only
// regular files are opened: a directory, a pipe or a device has no fixed
// length to check offsets against and could block a read forever.

#include "render/ImageSource.h"

#include <cstdio>
#include <memory>
#include <string>

class CFileSource : public IImageSource
{
public:
    // Null when the file cannot be opened or is not a regular file, with the
    // system's reason ("No such file or directory", "Is a directory",
    // "Permission denied", "Not a regular file").
    static std::unique_ptr<CFileSource> Open(const std::string& fileName, std::string& reason);

    ~CFileSource() override;
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    uint64_t Size() const override { return m_size; }
    bool ReadAt(uint64_t offset, void* destination, size_t count) override;

private:
    CFileSource(std::FILE* file, uint64_t size) : m_file(file), m_size(size) {}

    std::FILE* m_file;
    uint64_t m_size; // bytes, taken when the file was opened
};
