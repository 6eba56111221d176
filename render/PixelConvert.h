#pragma once
// Turns packed 3-byte pixels into the RGBA block a texture uploads, with the
// alpha every loaded texel gets.

#include <cstddef>
#include <cstdint>
#include <vector>

enum class EPixelOrder
{
    kRgb, // red, green, blue (SGI channels 0, 1, 2)
    kBgr, // blue, green, red (Windows bitmaps)
};

// pixelCount * 4 bytes from pixelCount * 3 bytes at packed; throws
// std::bad_alloc when the block cannot be had.
std::vector<uint8_t> ExpandToRgba(const uint8_t* packed, size_t pixelCount, EPixelOrder order);
