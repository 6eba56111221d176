#include "render/TextureSupport.h"

#include "render/GlStartState.h"

int GlMajorVersion(const char* version)
{
    if (version == nullptr)
    {
        return 0;
    }
    int major = 0;
    for (const char* p = version; *p >= '0' && *p <= '9' && major < 1000; ++p)
    {
        major = major * 10 + (*p - '0');
    }
    return major;
}

bool SupportsNonPowerOfTwo(const char* version, const char* extensions)
{
    return GlMajorVersion(version) >= 2 ||
           HasGlExtension(extensions, "GL_ARB_texture_non_power_of_two");
}

bool IsPowerOfTwo(int32_t n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

std::string TextureSizeRefusal(int32_t width, int32_t height, const char* version,
                               const char* extensions, int32_t largestSide)
{
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if ((!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) &&
        !SupportsNonPowerOfTwo(version, extensions))
    {
        return "The image is " + size +
               " pixels; this OpenGL takes only sizes that are powers of two.";
    }
    if (largestSide > 0 && (width > largestSide || height > largestSide))
    {
        return "The image is " + size + " pixels; this OpenGL takes at most " +
               std::to_string(largestSide) + " x " + std::to_string(largestSide) + ".";
    }
    return std::string();
}
