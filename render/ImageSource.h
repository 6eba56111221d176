#pragma once
// Where an image reader takes its bytes from: a run of bytes read at absolute
// offsets, either a file on disk or a block in memory (tests, fuzzing). Every
// read is all or nothing, so a reader never sees a partly filled buffer.

#include <cstddef>
#include <cstdint>
#include <cstring>

class IImageSource
{
public:
    virtual ~IImageSource() = default;

    // Total length in bytes.
    virtual uint64_t Size() const = 0;

    // Copies count bytes starting at offset into destination; false, with
    // destination unspecified, when the range runs past the end or the read
    // fails.
    virtual bool ReadAt(uint64_t offset, void* destination, size_t count) = 0;
};

// A borrowed block of bytes; the block must outlive the source.
class CMemorySource : public IImageSource
{
public:
    CMemorySource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint64_t Size() const override { return m_size; }

    bool ReadAt(uint64_t offset, void* destination, size_t count) override
    {
        if (offset > m_size || count > m_size - offset)
        {
            return false;
        }
        if (count > 0)
        {
            std::memcpy(destination, m_data + offset, count);
        }
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
};
