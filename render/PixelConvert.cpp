#include "render/PixelConvert.h"

#include "render/ImageLoad.h"

std::vector<uint8_t> ExpandToRgba(const uint8_t* packed, size_t pixelCount, EPixelOrder order)
{
    std::vector<uint8_t> rgba(pixelCount * 4);
    const size_t red = order == EPixelOrder::kRgb ? 0 : 2;
    const size_t blue = 2 - red;
    for (size_t i = 0; i < pixelCount; ++i)
    {
        const uint8_t* in = packed + i * 3;
        uint8_t* out = rgba.data() + i * 4;
        out[0] = in[red];
        out[1] = in[1];
        out[2] = in[blue];
        out[3] = kTextureAlpha;
    }
    return rgba;
}
