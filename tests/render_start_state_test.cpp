// The OpenGL start state and projection, the separate-specular decision, the
// shadow projection and the PNG pictures the render tests write.

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <ostream>

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render/GlStartState.h"
#include "render/PngWriter.h"
#include "render/ShadowMatrix.h"
#include "render/StartupState.h"
#include "tests/support/HeadlessGLTest.h"

#ifndef GL_LIGHT_MODEL_COLOR_CONTROL
#define GL_LIGHT_MODEL_COLOR_CONTROL 0x81F8
#endif
#ifndef GL_SEPARATE_SPECULAR_COLOR
#define GL_SEPARATE_SPECULAR_COLOR 0x81FA
#endif
#ifndef GL_SINGLE_COLOR
#define GL_SINGLE_COLOR 0x81F9
#endif

namespace
{
struct SSpecularCase
{
    const char* name;
    const char* version;
    const char* renderer;
    const char* extensions;
    bool wanted;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SSpecularCase& c, std::ostream* out)
{
    *out << c.name;
}

class SeparateSpecularTest : public ::testing::TestWithParam<SSpecularCase>
{
};

TEST_P(SeparateSpecularTest, DecidedByVersionExtensionsAndRenderer)
{
    const SSpecularCase& c = GetParam();
    EXPECT_EQ(WantsSeparateSpecular(c.version, c.renderer, c.extensions), c.wanted);
}

constexpr const char* kExt = "GL_ARB_multitexture GL_EXT_separate_specular_color GL_EXT_bgra";

INSTANTIATE_TEST_SUITE_P(
    Cases, SeparateSpecularTest,
    ::testing::Values(
        SSpecularCase{"Version12", "1.2.1 Vendor", "Some board", "", true},
        SSpecularCase{"Version11WithExt", "1.1.0", "Some board", kExt, true},
        SSpecularCase{"Version11WithArb", "1.1", "Some board", "GL_ARB_separate_specular_color",
                      true},
        SSpecularCase{"Version11Without", "1.1", "Some board", "GL_ARB_multitexture", false},
        // Later versions are not 1.2: only the extension names count.
        SSpecularCase{"Version13Without", "1.3", "Some board", "GL_EXT_bgra", false},
        SSpecularCase{"Version20Without", "2.0", "Some board", "", false},
        SSpecularCase{"Version45WithExt", "4.5 (Compatibility Profile) Mesa", "llvmpipe", kExt,
                      true},
        SSpecularCase{"RivaTntAgp", "1.2", "RIVA TNT/AGP", kExt, false},
        SSpecularCase{"RivaTntPci", "1.2", "RIVA TNT/PCI", kExt, false},
        // The renderer test is exact and case-sensitive.
        SSpecularCase{"RivaTnt2", "1.2", "RIVA TNT2/AGP", "", true},
        SSpecularCase{"RivaLowerCase", "1.2", "riva tnt/agp", "", true},
        // Extension names match whole tokens only.
        SSpecularCase{"LongerToken", "1.1", "Some board", "GL_EXT_separate_specular_colorX", false},
        SSpecularCase{"Prefix", "1.1", "Some board", "XGL_EXT_separate_specular_color", false},
        SSpecularCase{"LastToken", "1.1", "Some board", "GL_A GL_EXT_separate_specular_color",
                      true},
        SSpecularCase{"ShortVersion", "1", "Some board", "", false},
        SSpecularCase{"NullStrings", nullptr, nullptr, nullptr, false}),
    [](const ::testing::TestParamInfo<SSpecularCase>& info) { return info.param.name; });

TEST(GlVersion, OnlyOnePointZeroIsRefused)
{
    EXPECT_TRUE(IsOpenGl10("1.0"));
    EXPECT_TRUE(IsOpenGl10("1.0.3 Vendor"));
    EXPECT_FALSE(IsOpenGl10("1.1"));
    EXPECT_FALSE(IsOpenGl10("2.0"));
    EXPECT_FALSE(IsOpenGl10("10.0")); // major version 10
    EXPECT_FALSE(IsOpenGl10("1"));
    EXPECT_FALSE(IsOpenGl10(""));
    EXPECT_FALSE(IsOpenGl10(nullptr));
}

TEST(GlExtension, ExactTokens)
{
    EXPECT_TRUE(HasGlExtension("A B C", "B"));
    EXPECT_TRUE(HasGlExtension("A", "A"));
    EXPECT_FALSE(HasGlExtension("AB B2", "B"));
    EXPECT_FALSE(HasGlExtension("A B", ""));
    EXPECT_TRUE(HasGlExtension("A  B ", "B")); // stray blanks
    EXPECT_FALSE(HasGlExtension(nullptr, "A"));
}

class StartStateTest : public CHeadlessGLTest
{
};

TEST_F(StartStateTest, SetsTheProgramsStartState)
{
    g_separateSpecular = false;
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_STENCIL_TEST);
    ApplyStartState();

    float clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ((std::array<float, 4>{clear[0], clear[1], clear[2], clear[3]}),
              (std::array<float, 4>{0, 0, 0, 0}));
    float ambient[4] = {};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_EQ((std::array<float, 4>{ambient[0], ambient[1], ambient[2], ambient[3]}),
              (std::array<float, 4>{1, 1, 1, 1}));
    for (const GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_DEPTH_TEST, GL_STENCIL_TEST})
    {
        EXPECT_FALSE(glIsEnabled(cap)) << std::hex << cap;
    }
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    glGetIntegerv(GL_STENCIL_CLEAR_VALUE, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &value);
    EXPECT_EQ(value, 0);
    float depthClear = 0.0f;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depthClear);
    EXPECT_EQ(depthClear, 1.0f);
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_TRUE(depthMask);

    // The decision follows this context's strings, and the light model with it.
    const bool wanted =
        WantsSeparateSpecular(reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                              reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                              reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    EXPECT_EQ(g_separateSpecular, wanted);
    glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL, &value);
    EXPECT_EQ(value, wanted ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The strings the host reports decide, not the context's own.
TEST_F(StartStateTest, RivaTntNeverGetsSeparateSpecularColour)
{
    g_separateSpecular = true;
    ApplyStartState("1.2.0", "RIVA TNT/AGP", "GL_EXT_separate_specular_color");
    EXPECT_FALSE(g_separateSpecular);
    GLint value = 0;
    glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL, &value);
    EXPECT_EQ(value, GL_SINGLE_COLOR);
}

std::array<double, 16> CurrentMatrix(GLenum which)
{
    std::array<double, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

TEST_F(StartStateTest, ProjectionIsThirtyDegreesFromOneToAThousand)
{
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    ApplyProjection(640, 480);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::array<int, 4>{viewport[0], viewport[1], viewport[2], viewport[3]}),
              (std::array<int, 4>{0, 0, 640, 480}));
    const std::array<double, 16> p = CurrentMatrix(GL_PROJECTION_MATRIX);
    const double f = 1.0 / std::tan(15.0 * M_PI / 180.0);
    EXPECT_NEAR(p[0], f / (640.0 / 480.0), 1e-5);
    EXPECT_NEAR(p[5], f, 1e-5);
    EXPECT_NEAR(p[10], -(1000.0 + 1.0) / (1000.0 - 1.0), 1e-6);
    EXPECT_NEAR(p[14], -2.0 * 1000.0 * 1.0 / (1000.0 - 1.0), 1e-5);
    EXPECT_EQ(p[11], -1.0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    const std::array<double, 16> mv = CurrentMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_EQ(mv, (std::array<double, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST_F(StartStateTest, ZeroHeightKeepsTheLastProjection)
{
    ApplyProjection(640, 480);
    const std::array<double, 16> before = CurrentMatrix(GL_PROJECTION_MATRIX);
    ApplyProjection(640, 0);
    const std::array<double, 16> after = CurrentMatrix(GL_PROJECTION_MATRIX);
    EXPECT_EQ(before, after);
    for (const double v : after)
    {
        EXPECT_TRUE(std::isfinite(v));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A point maps along the light's ray onto z = 0.
TEST(ShadowMatrixTest, FlattensAlongTheLightsRays)
{
    const struct
    {
        std::array<float, 4> light;
        CVector point;
        CVector shadow;
    } cases[] = {
        // Directional light 0: the shadow falls along (1, 1, -5).
        {{-1, -1, 5, 0}, {0, 0, 10}, {2, 2, 0}},
        {{-1, -1, 5, 0}, {3, -4, 0}, {3, -4, 0}},
        {{-1, -1, 5, 0}, {-7, 2, 2.5f}, {-6.5f, 2.5f, 0}},
        // Point light 1 at (50, 0, 50): along the ray from the light.
        {{50, 0, 50, 1}, {0, 0, 25}, {-50, 0, 0}},
        {{50, 0, 50, 1}, {40, 10, 10}, {37.5f, 12.5f, 0}},
    };
    for (const auto& c : cases)
    {
        const CMatrix4 m = ShadowMatrix(c.light.data());
        const float p[4] = {c.point.x, c.point.y, c.point.z, 1.0f};
        float q[4] = {};
        for (int row = 0; row < 4; ++row)
        {
            for (int col = 0; col < 4; ++col)
            {
                q[row] += m.m[4 * col + row] * p[col];
            }
        }
        ASSERT_NE(q[3], 0.0f);
        EXPECT_NEAR(q[0] / q[3], c.shadow.x, 1e-5f) << c.point.x << " " << c.point.z;
        EXPECT_NEAR(q[1] / q[3], c.shadow.y, 1e-5f);
        EXPECT_EQ(q[2], 0.0f);
    }
}

uint32_t BigEndian32(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

// Decodes the stored blocks back, to show that the file carries the picture
// top row first, with the right checksums.
TEST(PngWriterTest, StoresThePictureTopRowFirst)
{
    const int width = 200, height = 120; // more than one stored block of 65535 bytes
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>(x ^ y);
            p[3] = 7;
        }
    }
    const std::vector<uint8_t> png = EncodePng(width, height, rgba.data());
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(BigEndian32(png, 8), 13u);
    EXPECT_EQ(std::memcmp(&png[12], "IHDR", 4), 0);
    EXPECT_EQ(BigEndian32(png, 16), static_cast<uint32_t>(width));
    EXPECT_EQ(BigEndian32(png, 20), static_cast<uint32_t>(height));
    EXPECT_EQ(png[24], 8); // bit depth
    EXPECT_EQ(png[25], 2); // RGB
    // The end chunk always carries the same checksum.
    ASSERT_GE(png.size(), 12u);
    EXPECT_EQ(BigEndian32(png, png.size() - 4), 0xAE426082u);

    const size_t idat = 33;
    ASSERT_EQ(std::memcmp(&png[idat + 4], "IDAT", 4), 0);
    const uint32_t length = BigEndian32(png, idat);
    const std::vector<uint8_t> zlib(png.begin() + idat + 8, png.begin() + idat + 8 + length);
    std::vector<uint8_t> raw;
    size_t at = 2;
    bool last = false;
    while (!last)
    {
        last = (zlib[at] & 1) != 0;
        const size_t size = zlib[at + 1] | (zlib[at + 2] << 8);
        const size_t complement = zlib[at + 3] | (zlib[at + 4] << 8);
        ASSERT_EQ(size ^ complement, 0xFFFFu);
        raw.insert(raw.end(), zlib.begin() + at + 5, zlib.begin() + at + 5 + size);
        at += 5 + size;
    }
    uint32_t a = 1, b = 0;
    for (const uint8_t byte : raw)
    {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    EXPECT_EQ(BigEndian32(zlib, at), (b << 16) | a);
    ASSERT_EQ(raw.size(), static_cast<size_t>(height) * (1 + width * 3));
    // First stored row: the top of the picture, y = height - 1.
    EXPECT_EQ(raw[0], 0);
    EXPECT_EQ(raw[1 + 5 * 3 + 0], 5);
    EXPECT_EQ(raw[1 + 5 * 3 + 1], height - 1);
    EXPECT_EQ(raw[1 + 5 * 3 + 2], 5 ^ (height - 1));
    const size_t lastRow = static_cast<size_t>(height - 1) * (1 + width * 3);
    EXPECT_EQ(raw[lastRow + 1 + 9 * 3 + 1], 0);
}

TEST(PngWriterTest, RefusesWhatItCannotWrite)
{
    const std::vector<uint8_t> pixel(4, 0);
    EXPECT_FALSE(WritePng("/nonexistent-directory/x.png", 1, 1, pixel.data()));
    EXPECT_FALSE(WritePng("/tmp/never.png", 0, 1, pixel.data()));
    EXPECT_FALSE(WritePng("/tmp/never.png", 1, 1, nullptr));
}
} // namespace
