#pragma once
// What every answer of a reader must satisfy, whatever the bytes: a load has
// sizes within the limits, exactly width * height * 4 bytes and alpha 128
// everywhere; a refusal has a box with a text and leaves nothing behind. A
// broken promise stops the fuzzer like a crash would.

#include "render/ImageLoad.h"

#include <cstdio>
#include <cstdlib>

inline void FuzzRequire(bool holds, const char* what)
{
    if (!holds)
    {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

inline void CheckImageLoad(const SImageLoad& load, size_t inputSize)
{
    if (load.result == kLoadOk)
    {
        FuzzRequire(!load.message.has_value(), "a load has no message");
        FuzzRequire(load.width >= 1 && load.width <= kMaxImageSide, "width within limits");
        FuzzRequire(load.height >= 1 && load.height <= kMaxImageSide, "height within limits");
        FuzzRequire(load.pixels.size() == static_cast<size_t>(load.width) * load.height * 4,
                    "width * height * 4 bytes");
        for (size_t i = 3; i < load.pixels.size(); i += 4)
        {
            FuzzRequire(load.pixels[i] == kTextureAlpha, "alpha 128 everywhere");
        }
        FuzzRequire(inputSize >= 12, "a load came from at least a header");
        return;
    }
    FuzzRequire(load.result == E_FAIL || load.result == E_OUTOFMEMORY, "a known result code");
    FuzzRequire(load.message.has_value(), "a refusal has a message");
    FuzzRequire(load.message->caption == "Error", "the caption is Error");
    FuzzRequire(!load.message->text.empty(), "the message has a text");
    FuzzRequire(load.width == 0 && load.height == 0 && load.pixels.empty(),
                "a refusal leaves no image");
}
