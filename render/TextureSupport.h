#pragma once
// Whether the current OpenGL implementation can take a texture image of a
// given size, judged from its version and extension strings and its largest
// texture side, so the rule can be checked without a context.

#include <cstdint>
#include <string>

// The leading "major" of a GL_VERSION string, 0 when there is none.
int GlMajorVersion(const char* version);

// Widths and heights other than powers of two: OpenGL 2.0 or the exact
// extension token GL_ARB_texture_non_power_of_two.
bool SupportsNonPowerOfTwo(const char* version, const char* extensions);

bool IsPowerOfTwo(int32_t n);

// Empty when a width x height image (pixels) can be uploaded, else the
// sentence that says why not. largestSide is GL_MAX_TEXTURE_SIZE, 0 when
// unknown.
std::string TextureSizeRefusal(int32_t width, int32_t height, const char* version,
                               const char* extensions, int32_t largestSide);
