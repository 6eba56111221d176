#pragma once
// Small image files built byte by byte, with every header field open to
// change, for the image reader tests and the fuzzers' seeds.

#include <cstdint>
#include <optional>
#include <vector>

namespace texture_files
{
using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, size_t at, uint16_t value, bool bigEndian)
{
    out[at + (bigEndian ? 0 : 1)] = static_cast<uint8_t>(value >> 8);
    out[at + (bigEndian ? 1 : 0)] = static_cast<uint8_t>(value & 0xFF);
}

inline void Put32(Bytes& out, size_t at, uint32_t value, bool bigEndian)
{
    for (int i = 0; i < 4; ++i)
    {
        const int shift = bigEndian ? 24 - 8 * i : 8 * i;
        out[at + i] = static_cast<uint8_t>(value >> shift);
    }
}

// The fields of a bitmap's two headers; imageSize defaults to the byte count
// of the pixel data given.
struct SBmpHeader
{
    uint16_t type = 0x4D42;
    uint32_t pixelOffset = 54;
    uint32_t headerSize = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
    std::optional<uint32_t> imageSize;
};

// The headers, zeros up to the pixel offset, then pixelData.
inline Bytes MakeBmp(const SBmpHeader& h, const Bytes& pixelData)
{
    const size_t start = h.pixelOffset >= 54 ? h.pixelOffset : 54;
    Bytes out(start + pixelData.size(), 0);
    Put16(out, 0, h.type, false);
    Put32(out, 2, static_cast<uint32_t>(out.size()), false);
    Put32(out, 10, h.pixelOffset, false);
    Put32(out, 14, h.headerSize, false);
    Put32(out, 18, static_cast<uint32_t>(h.width), false);
    Put32(out, 22, static_cast<uint32_t>(h.height), false);
    Put16(out, 26, h.planes, false);
    Put16(out, 28, h.bitsPerPixel, false);
    Put32(out, 30, h.compression, false);
    Put32(out, 34, h.imageSize.value_or(static_cast<uint32_t>(pixelData.size())), false);
    Put32(out, 38, 2835, false); // 72 dots per inch
    Put32(out, 42, 2835, false);
    std::copy(pixelData.begin(), pixelData.end(), out.begin() + start);
    return out;
}

struct SSgiHeader
{
    bool bigEndian = true;
    uint8_t storage = 0; // 1: run-length
    uint8_t bytesPerChannel = 1;
    uint16_t dimension = 3;
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t z = 0;
};

// The 512-byte header alone.
inline Bytes MakeSgiHeader(const SSgiHeader& h)
{
    Bytes out(512, 0);
    Put16(out, 0, 0x01DA, h.bigEndian);
    // The storage byte and the bytes-per-channel byte form one word with the
    // storage in its high byte.
    Put16(out, 2, static_cast<uint16_t>((h.storage << 8) | h.bytesPerChannel), h.bigEndian);
    Put16(out, 4, h.dimension, h.bigEndian);
    Put16(out, 6, h.x, h.bigEndian);
    Put16(out, 8, h.y, h.bigEndian);
    Put16(out, 10, h.z, h.bigEndian);
    return out;
}

// A verbatim file: planes holds z * y rows of x bytes, channel by channel,
// each channel's rows bottom to top.
inline Bytes MakeSgiVerbatim(SSgiHeader h, const Bytes& planes)
{
    h.storage = 0;
    Bytes out = MakeSgiHeader(h);
    out.insert(out.end(), planes.begin(), planes.end());
    return out;
}

// A run-length file: rows[z * y + row] holds the packets of one row, laid out
// one after the other behind the two tables.
inline Bytes MakeSgiRunLength(SSgiHeader h, const std::vector<Bytes>& rows)
{
    h.storage = 1;
    Bytes out = MakeSgiHeader(h);
    const size_t entries = rows.size();
    out.resize(512 + 8 * entries, 0);
    for (size_t i = 0; i < entries; ++i)
    {
        Put32(out, 512 + 4 * i, static_cast<uint32_t>(out.size()), h.bigEndian);
        Put32(out, 512 + 4 * (entries + i), static_cast<uint32_t>(rows[i].size()), h.bigEndian);
        out.insert(out.end(), rows[i].begin(), rows[i].end());
    }
    return out;
}

// Where the start and the length of run-length row `index` are stored.
inline size_t SgiRowStartAt(size_t index)
{
    return 512 + 4 * index;
}
inline size_t SgiRowLengthAt(size_t index, size_t entries)
{
    return 512 + 4 * (entries + index);
}
} // namespace texture_files
