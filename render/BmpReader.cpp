#include "render/BmpReader.h"

#include "render/FileSource.h"
#include "render/PixelConvert.h"

#include <new>

namespace
{
constexpr uint16_t kBitmapType = 0x4D42; // "BM"
constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;

uint16_t Word(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t DoubleWord(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

SImageLoad InvalidFormat(const std::string& fileName)
{
    return RefuseWithError(E_FAIL, fileName + "\n\nInvalid file format.");
}

SImageLoad OutOfMemory()
{
    return RefuseWithError(E_OUTOFMEMORY, "Out of memory.\n\nFailed to create texture image.");
}
} // namespace

SImageLoad ReadBmp(IImageSource& source, const std::string& fileName)
{
    uint8_t header[kFileHeaderBytes + kInfoHeaderBytes];
    if (!source.ReadAt(0, header, sizeof header))
    {
        return InvalidFormat(fileName);
    }
    const uint8_t* info = header + kFileHeaderBytes;
    const uint16_t type = Word(header);
    const uint32_t pixelOffset = DoubleWord(header + 10);
    const uint32_t headerSize = DoubleWord(info);
    const int32_t width = static_cast<int32_t>(DoubleWord(info + 4));
    const int32_t height = static_cast<int32_t>(DoubleWord(info + 8));
    const uint16_t planes = Word(info + 12);
    const uint16_t bitsPerPixel = Word(info + 14);
    const uint32_t compression = DoubleWord(info + 16);
    const uint32_t imageSize = DoubleWord(info + 20);

    // Sizes are checked before they are multiplied, and multiplied in 64
    // bits, so no header can wrap the product onto a small image size.
    if (type != kBitmapType || headerSize != kInfoHeaderBytes || planes != 1 ||
        bitsPerPixel != 24 || compression != 0 || width <= 0 || height <= 0)
    {
        return InvalidFormat(fileName);
    }
    if (width > kMaxImageSide || height > kMaxImageSide)
    {
        return RefuseWithError(E_FAIL, fileName + "\n\n" + TooLargeText(width, height));
    }
    const uint64_t pixelCount = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (imageSize != pixelCount * 3 ||
        static_cast<uint64_t>(pixelOffset) + imageSize > source.Size())
    {
        return InvalidFormat(fileName);
    }

    SImageLoad load;
    std::vector<uint8_t> stored;
    try
    {
        stored.resize(imageSize);
    }
    catch (const std::bad_alloc&)
    {
        return OutOfMemory();
    }
    if (!source.ReadAt(pixelOffset, stored.data(), stored.size()))
    {
        return InvalidFormat(fileName);
    }
    try
    {
        load.pixels = ExpandToRgba(stored.data(), pixelCount, EPixelOrder::kBgr);
    }
    catch (const std::bad_alloc&)
    {
        return OutOfMemory();
    }
    load.width = width;
    load.height = height;
    return load;
}

SImageLoad ReadBmpFile(const std::string& fileName)
{
    std::string reason;
    const std::unique_ptr<CFileSource> file = CFileSource::Open(fileName, reason);
    if (!file)
    {
        return RefuseWithError(E_FAIL, fileName + "\n\nCould not open file.\n" + reason);
    }
    return ReadBmp(*file, fileName);
}
