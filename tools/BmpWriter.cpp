#include "tools/BmpWriter.h"

#include "render/OutputFile.h"

namespace
{
void Put(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
    {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}
} // namespace

std::vector<uint8_t> EncodeBmp(const SRgbImage& image)
{
    const uint32_t imageSize = static_cast<uint32_t>(image.rgb.size());
    std::vector<uint8_t> out;
    out.reserve(54 + imageSize);
    Put(out, 0x4D42, 2);
    Put(out, 54 + imageSize, 4);
    Put(out, 0, 4); // two reserved words
    Put(out, 54, 4);
    Put(out, 40, 4);
    Put(out, static_cast<uint32_t>(image.width), 4);
    Put(out, static_cast<uint32_t>(image.height), 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    Put(out, 0, 4);
    Put(out, imageSize, 4);
    Put(out, 2835, 4); // 72 dots per inch
    Put(out, 2835, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    for (size_t i = 0; i < image.rgb.size(); i += 3)
    {
        out.push_back(image.rgb[i + 2]);
        out.push_back(image.rgb[i + 1]);
        out.push_back(image.rgb[i]);
    }
    return out;
}

bool WriteBmp(const std::string& fileName, const SRgbImage& image, std::string& reason)
{
    const std::vector<uint8_t> bytes = EncodeBmp(image);
    return WriteFileAtomically(fileName, bytes.data(), bytes.size(), reason);
}
