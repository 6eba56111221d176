#include "render/PngWriter.h"

#include <algorithm>
#include <array>

#include "render/OutputFile.h"

namespace
{
std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n)
    {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
        {
            c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

uint32_t Crc32(const uint8_t* data, std::size_t size)
{
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
    {
        c = table[(c ^ data[i]) & 0xFFu] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data)
{
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, Crc32(out.data() + typeStart, out.size() - typeStart));
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> out = {0x78, 0x01};
    std::size_t offset = 0;
    do
    {
        const std::size_t size = std::min<std::size_t>(65535, raw.size() - offset);
        const bool last = offset + size == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(size));
        out.push_back(static_cast<uint8_t>(size >> 8));
        out.push_back(static_cast<uint8_t>(~size));
        out.push_back(static_cast<uint8_t>(~size >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + size));
        offset += size;
    } while (offset < raw.size());

    uint32_t a = 1, b = 0;
    for (const uint8_t byte : raw)
    {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    PutBigEndian32(out, (b << 16) | a);
    return out;
}
} // namespace

std::vector<uint8_t> EncodePng(int width, int height, const uint8_t* rgba)
{
    const std::size_t pixelsPerRow = static_cast<std::size_t>(width);
    // Each row is preceded by its filter type (0: none); PNG stores top first.
    std::vector<uint8_t> raw;
    raw.reserve((pixelsPerRow * 3 + 1) * static_cast<std::size_t>(height));
    for (int row = height - 1; row >= 0; --row)
    {
        raw.push_back(0);
        const uint8_t* pixel = rgba + pixelsPerRow * 4 * static_cast<std::size_t>(row);
        for (std::size_t i = 0; i < pixelsPerRow; ++i, pixel += 4)
        {
            raw.insert(raw.end(), pixel, pixel + 3);
        }
    }

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian32(header, static_cast<uint32_t>(width));
    PutBigEndian32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibStored(raw));
    PutChunk(png, "IEND", {});
    return png;
}

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba,
              std::string& reason)
{
    if (width <= 0 || height <= 0 || rgba == nullptr)
    {
        reason = "no picture to write";
        return false;
    }
    const std::vector<uint8_t> png = EncodePng(width, height, rgba);
    return WriteFileAtomically(path, png.data(), png.size(), reason);
}

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba)
{
    std::string reason;
    return WritePng(path, width, height, rgba, reason);
}
