#pragma once
// What reading one image file yields, with no OpenGL and no message box
// involved: either an RGBA picture or the exact box that reports the refusal.
// The texture shows the box; the image tool prints its text.

#include "render/Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Result codes of the loading steps, valued as the system's own.
inline constexpr int32_t kLoadOk = 0;
inline constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t E_OUTOFMEMORY = static_cast<int32_t>(0x8007000Eu);

// The alpha given to every texel read from a file, whatever the format.
inline constexpr uint8_t kTextureAlpha = 128;

// The largest width or height accepted, in pixels. Far above what the demo
// needs and within every OpenGL texture limit worth supporting; it also caps
// what a reader allocates for a hostile header at 64 MiB of RGBA.
inline constexpr int32_t kMaxImageSide = 4096;

struct SImageMessage
{
    std::string caption;
    std::string text;
    EMessageButtons buttons = EMessageButtons::kOk;
    EMessageIcon icon = EMessageIcon::kNone;
};

struct SImageLoad
{
    int32_t result = kLoadOk;
    int32_t width = 0;  // pixels, 0 unless loaded
    int32_t height = 0; // pixels, 0 unless loaded
    // width * height * 4 bytes, RGBA, rows from the bottom of the picture to
    // its top, no padding; empty unless loaded.
    std::vector<uint8_t> pixels;
    // Set exactly when result is not kLoadOk.
    std::optional<SImageMessage> message;
};

// The text that refuses a picture over kMaxImageSide on a side, with its size
// and the limit.
std::string TooLargeText(int64_t width, int64_t height);

// A refusal in the bitmap style: caption "Error", error icon.
SImageLoad RefuseWithError(int32_t result, std::string text);

// A refusal in the SGI reader's style: caption "Error", OK button, no icon.
SImageLoad RefusePlain(int32_t result, std::string text);
