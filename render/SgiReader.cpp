#include "render/SgiReader.h"

#include "render/FileSource.h"
#include "render/PixelConvert.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace
{
constexpr uint16_t kMagicAsRead = 0x01DA;    // little-endian file
constexpr uint16_t kMagicSwapped = 0xDA01;   // big-endian file, the usual kind
constexpr uint64_t kHeaderBytes = 512;       // the tables or the pixels start here
constexpr size_t kFieldBytes = 12;           // the part of the header that is read
constexpr uint64_t kRowBufferPerPixel = 256; // run-length bytes allowed per pixel of a row
constexpr uint8_t kStorageVerbatim = 0;
constexpr uint8_t kStorageRunLength = 1;

const char* const kInvalid = "Invalid rgb file.";
const char* const kOutOfMemory = "Out of memory.";

// The open state of one file while it is read.
struct SgiImage
{
    uint16_t magic = 0;
    uint16_t storagePair = 0; // storage in the high byte, bytes per channel in the low
    uint16_t dimension = 0;
    uint16_t xSize = 0; // pixels per row
    uint16_t ySize = 0; // rows
    uint16_t zSize = 0; // channels
    bool bigEndian = false;
    int channelsRead = 0; // of channels 0, 1, 2, those the file has

    IImageSource* source = nullptr;
    std::vector<uint8_t> rowBuffer;                     // one stored run-length row
    std::array<std::vector<uint8_t>, 3> channelBuffers; // xSize bytes each
    // Run-length files only, channelsRead * ySize entries each, index z * ySize + y.
    std::vector<uint32_t> rowStart;
    std::vector<uint32_t> rowLength;

    uint8_t Storage() const { return static_cast<uint8_t>(storagePair >> 8); }
    uint8_t BytesPerChannel() const { return static_cast<uint8_t>(storagePair & 0xFF); }
};

struct SgiPixels
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb; // width * height * 3 bytes, rows bottom to top
};

uint16_t Swap16(uint16_t v)
{
    return static_cast<uint16_t>((v >> 8) | (v << 8));
}

uint32_t Swap32(uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

uint32_t LittleEndian32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Reads entries 32-bit table entries at offset in the file's byte order.
bool ReadTable(SgiImage& image, uint64_t offset, size_t entries, std::vector<uint32_t>& table)
{
    std::vector<uint8_t> bytes(entries * 4);
    if (!image.source->ReadAt(offset, bytes.data(), bytes.size()))
    {
        return false;
    }
    table.resize(entries);
    for (size_t i = 0; i < entries; ++i)
    {
        const uint32_t value = LittleEndian32(&bytes[i * 4]);
        table[i] = image.bigEndian ? Swap32(value) : value;
    }
    return true;
}

// Empty on success, else the refusal to report.
std::optional<SImageLoad> OpenSgiImage(IImageSource& source, SgiImage& image)
{
    image.source = &source;
    uint8_t fields[kFieldBytes];
    if (!source.ReadAt(0, fields, sizeof fields))
    {
        return RefusePlain(E_FAIL, kInvalid);
    }
    uint16_t words[6];
    for (int i = 0; i < 6; ++i)
    {
        words[i] = static_cast<uint16_t>(fields[2 * i] | (fields[2 * i + 1] << 8));
    }
    if (words[0] == kMagicSwapped)
    {
        image.bigEndian = true;
        for (uint16_t& word : words)
        {
            word = Swap16(word);
        }
    }
    else if (words[0] != kMagicAsRead)
    {
        return RefusePlain(E_FAIL, kInvalid);
    }
    image.magic = words[0];
    image.storagePair = words[1];
    image.dimension = words[2];
    image.xSize = words[3];
    image.ySize = words[4];
    image.zSize = words[5];

    if (image.BytesPerChannel() != 1)
    {
        return RefusePlain(E_FAIL,
                           "Unsupported rgb file: " + std::to_string(image.BytesPerChannel()) +
                               " bytes per channel; only 1 can be read.");
    }
    // Any other storage would be read as verbatim rows that are not there.
    if (image.Storage() != kStorageVerbatim && image.Storage() != kStorageRunLength)
    {
        return RefusePlain(E_FAIL, "Unsupported rgb file: storage " +
                                       std::to_string(image.Storage()) +
                                       "; only 0 (verbatim) and 1 (run-length) can be read.");
    }
    if (image.xSize == 0 || image.ySize == 0 || image.zSize == 0)
    {
        return RefusePlain(E_FAIL, kInvalid);
    }
    if (image.xSize > kMaxImageSide || image.ySize > kMaxImageSide)
    {
        return RefusePlain(E_FAIL, TooLargeText(image.xSize, image.ySize));
    }
    image.channelsRead = std::min<int>(image.zSize, 3);

    const uint64_t x = image.xSize;
    const uint64_t y = image.ySize;
    const uint64_t z = image.zSize;
    const bool runLength = image.Storage() == kStorageRunLength;
    // Everything that will be read must lie inside the file before anything
    // is allocated for it.
    const uint64_t needed =
        runLength ? kHeaderBytes + 2 * 4 * y * z : kHeaderBytes + x * y * image.channelsRead;
    if (needed > source.Size())
    {
        return RefusePlain(E_FAIL, kInvalid);
    }

    try
    {
        for (std::vector<uint8_t>& buffer : image.channelBuffers)
        {
            buffer.resize(x);
        }
        if (runLength)
        {
            image.rowBuffer.resize(x * kRowBufferPerPixel);
            const size_t entries = static_cast<size_t>(y) * image.channelsRead;
            if (!ReadTable(image, kHeaderBytes, entries, image.rowStart) ||
                !ReadTable(image, kHeaderBytes + 4 * y * z, entries, image.rowLength))
            {
                return RefusePlain(E_FAIL, kInvalid);
            }
        }
    }
    catch (const std::bad_alloc&)
    {
        return RefusePlain(E_OUTOFMEMORY, kOutOfMemory);
    }
    return std::nullopt;
}

// Decodes one run-length row into exactly width bytes. A packet that would
// write past the row, a row that ends short of its width, and packets that
// run past the stored bytes before the closing zero packet all refuse the
// file: each would leave pixels undefined or write out of bounds.
bool DecodeRunLengthRow(const uint8_t* packets, size_t length, uint8_t* destination, size_t width)
{
    size_t in = 0;
    size_t out = 0;
    for (;;)
    {
        if (in >= length)
        {
            return false;
        }
        const uint8_t packet = packets[in++];
        const size_t count = packet & 0x7F;
        if (count == 0)
        {
            return out == width;
        }
        if (count > width - out)
        {
            return false;
        }
        if (packet & 0x80)
        {
            if (count > length - in)
            {
                return false;
            }
            std::memcpy(destination + out, packets + in, count);
            in += count;
        }
        else
        {
            if (in >= length)
            {
                return false;
            }
            std::memset(destination + out, packets[in++], count);
        }
        out += count;
    }
}

// False when the row cannot be read whole from the file.
bool ReadSgiRow(SgiImage& image, uint8_t* destination, int y, int z)
{
    const uint64_t x = image.xSize;
    const size_t index = static_cast<size_t>(z) * image.ySize + static_cast<size_t>(y);
    if (image.Storage() != kStorageRunLength)
    {
        const uint64_t offset = kHeaderBytes + x * index;
        return image.source->ReadAt(offset, destination, x);
    }
    const uint32_t length = image.rowLength[index];
    if (length > image.rowBuffer.size() ||
        !image.source->ReadAt(image.rowStart[index], image.rowBuffer.data(), length))
    {
        return false;
    }
    return DecodeRunLengthRow(image.rowBuffer.data(), length, destination, x);
}

std::optional<SImageLoad> ReadSgiPixels(SgiImage& image, SgiPixels& pixels)
{
    const size_t x = image.xSize;
    try
    {
        pixels.rgb.resize(x * image.ySize * 3);
    }
    catch (const std::bad_alloc&)
    {
        return RefusePlain(E_OUTOFMEMORY, kOutOfMemory);
    }
    uint8_t* out = pixels.rgb.data();
    for (int y = 0; y < image.ySize; ++y)
    {
        for (int z = 0; z < image.channelsRead; ++z)
        {
            if (!ReadSgiRow(image, image.channelBuffers[z].data(), y, z))
            {
                return RefusePlain(E_FAIL, kInvalid);
            }
        }
        // A grey file gives its one channel to red, green and blue alike.
        const uint8_t* red = image.channelBuffers[0].data();
        const uint8_t* green = image.channelsRead == 3 ? image.channelBuffers[1].data() : red;
        const uint8_t* blue = image.channelsRead == 3 ? image.channelBuffers[2].data() : red;
        for (size_t i = 0; i < x; ++i)
        {
            *out++ = red[i];
            *out++ = green[i];
            *out++ = blue[i];
        }
    }
    return std::nullopt;
}
} // namespace

SImageLoad ReadSgi(IImageSource& source)
{
    SgiImage image;
    if (std::optional<SImageLoad> refusal = OpenSgiImage(source, image))
    {
        return std::move(*refusal);
    }
    SgiPixels pixels;
    pixels.width = image.xSize;
    pixels.height = image.ySize;
    if (std::optional<SImageLoad> refusal = ReadSgiPixels(image, pixels))
    {
        return std::move(*refusal);
    }

    SImageLoad load;
    try
    {
        load.pixels =
            ExpandToRgba(pixels.rgb.data(), static_cast<size_t>(pixels.width) * pixels.height,
                         EPixelOrder::kRgb);
    }
    catch (const std::bad_alloc&)
    {
        return RefusePlain(E_OUTOFMEMORY, kOutOfMemory);
    }
    load.width = pixels.width;
    load.height = pixels.height;
    return load;
}

SImageLoad ReadSgiFile(const std::string& fileName)
{
    std::string reason;
    const std::unique_ptr<CFileSource> file = CFileSource::Open(fileName, reason);
    if (!file)
    {
        return RefusePlain(E_FAIL, "Failed to open image file " + fileName + ".\n" + reason);
    }
    return ReadSgi(*file);
}
