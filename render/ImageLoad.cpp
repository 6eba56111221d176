#include "render/ImageLoad.h"

#include <utility>

namespace
{
SImageLoad Refuse(int32_t result, std::string text, EMessageIcon icon)
{
    SImageLoad load;
    load.result = result;
    load.message = SImageMessage{"Error", std::move(text), EMessageButtons::kOk, icon};
    return load;
}
} // namespace

std::string TooLargeText(int64_t width, int64_t height)
{
    return "Image too large: " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels; the limit is " + std::to_string(kMaxImageSide) + " on a side.";
}

SImageLoad RefuseWithError(int32_t result, std::string text)
{
    return Refuse(result, std::move(text), EMessageIcon::kError);
}

SImageLoad RefusePlain(int32_t result, std::string text)
{
    return Refuse(result, std::move(text), EMessageIcon::kNone);
}
