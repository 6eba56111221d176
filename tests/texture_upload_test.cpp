// CTexture in a real (offscreen) OpenGL context: what is uploaded, what a
// failed load leaves behind, and which sizes this OpenGL is asked to take.

#include "render/ImageLoad.h"
#include "render/Texture.h"
#include "render/TextureSupport.h"
#include "tests/support/HeadlessGLTest.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TextureFiles.h"

#include <GL/gl.h>

#include <filesystem>

namespace
{
using texture_files::Bytes;

struct SSizeCase
{
    int32_t width;
    int32_t height;
    const char* version;
    const char* extensions;
    int32_t largest;
    const char* refusal; // empty: uploaded
};

const char* const kNotPowerOfTwo =
    "The image is 3 x 2 pixels; this OpenGL takes only sizes that are powers of two.";

class TextureSizeTest : public ::testing::TestWithParam<SSizeCase>
{
};

TEST_P(TextureSizeTest, RefusesOnlyWhatThisOpenGLCannotTake)
{
    const SSizeCase& c = GetParam();
    EXPECT_EQ(TextureSizeRefusal(c.width, c.height, c.version, c.extensions, c.largest), c.refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TextureSizeTest,
    ::testing::Values(
        SSizeCase{256, 128, "1.1 Mesa", "", 0, ""}, SSizeCase{1, 4096, "1.1", nullptr, 0, ""},
        SSizeCase{3, 2, "1.4", "GL_EXT_bgra GL_ARB_texture_non_power_of_two", 0, ""},
        SSizeCase{3, 2, "2.1 Mesa 22.3", "", 0, ""}, SSizeCase{3, 2, "10.0", "", 0, ""},
        SSizeCase{3, 2, "1.5", "GL_ARB_texture_non_power_of_two_extra GL_EXT_x", 0, kNotPowerOfTwo},
        SSizeCase{3, 2, "1.5", "XGL_ARB_texture_non_power_of_two", 0, kNotPowerOfTwo},
        SSizeCase{3, 2, "1.5", "", 0, kNotPowerOfTwo},
        SSizeCase{3, 2, nullptr, nullptr, 0, kNotPowerOfTwo},
        SSizeCase{4096, 1024, "4.5", "", 2048,
                  "The image is 4096 x 1024 pixels; this OpenGL "
                  "takes at most 2048 x 2048."},
        SSizeCase{2048, 2048, "1.1", "", 2048, ""}));

class TextureTest : public CHeadlessGLTest
{
protected:
    TextureTest() : CHeadlessGLTest(16, 16) {}

    std::string Bitmap(const std::string& name, int32_t width, int32_t height)
    {
        texture_files::SBmpHeader h;
        h.width = width;
        h.height = height;
        Bytes data(static_cast<size_t>(width) * height * 3);
        for (size_t i = 0; i < data.size(); ++i)
        {
            data[i] = static_cast<uint8_t>(17 * i + 3);
        }
        return directory.Write(name, MakeBmp(h, data));
    }

    static GLint Level0(GLenum parameter)
    {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
        return value;
    }

    static GLint Parameter(GLenum parameter)
    {
        GLint value = -1;
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
        return value;
    }

    CTempDirectory directory;
};

TEST_F(TextureTest, UploadsTheLoadedImageWithTheGivenModes)
{
    const CTexture texture(Bitmap("body.bmp", 4, 2), GL_NEAREST, GL_LINEAR, GL_CLAMP, GL_REPEAT);
    EXPECT_TRUE(platform.MessageBoxes().empty());
    EXPECT_EQ(texture.width, 4);
    EXPECT_EQ(texture.height, 2);
    EXPECT_EQ(texture.components, 4);
    ASSERT_EQ(texture.pixels.size(), 4u * 2u * 4u);

    glBindTexture(GL_TEXTURE_2D, 0);
    texture.Bind();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_NE(texture.textureName, 0u);
    EXPECT_EQ(static_cast<GLuint>(bound), texture.textureName);
    EXPECT_EQ(Level0(GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(Level0(GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_T), GL_CLAMP);
    EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);

    Bytes uploaded(texture.pixels.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_EQ(uploaded, texture.pixels);
    // The first stored pixel is bytes (3, 20, 37): blue, green, red.
    EXPECT_EQ(Bytes(uploaded.begin(), uploaded.begin() + 4), (Bytes{37, 20, 3, 128}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, LoadsSgiImagesByTheirName)
{
    texture_files::SSgiHeader h;
    h.x = 1;
    h.y = 2;
    h.z = 3;
    const std::string file = directory.Write("env.rgb", MakeSgiVerbatim(h, {1, 2, 3, 4, 5, 6}));
    const CTexture texture(file, GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT);
    EXPECT_TRUE(platform.MessageBoxes().empty());
    EXPECT_EQ(texture.pixels, (Bytes{1, 3, 5, 128, 2, 4, 6, 128}));
    texture.Bind();
    EXPECT_EQ(Level0(GL_TEXTURE_HEIGHT), 2);
}

// A failed load is reported once; the texture name exists and binds without
// error, with no image and every size 0.
TEST_F(TextureTest, FailedLoadLeavesAnEmptyTextureAndOneBox)
{
    const std::string missing = (directory.Path() / "floor.bmp").string();
    const CTexture texture(missing, GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT);
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    const SMessageBoxRecord& box = platform.MessageBoxes()[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, missing + "\n\nCould not open file.");
    EXPECT_EQ(box.buttons, EMessageButtons::kOk);
    EXPECT_EQ(box.icon, EMessageIcon::kError);

    EXPECT_EQ(texture.width, 0);
    EXPECT_EQ(texture.height, 0);
    EXPECT_EQ(texture.components, 0);
    EXPECT_TRUE(texture.pixels.empty());
    EXPECT_NE(texture.textureName, 0u);
    texture.Bind();
    EXPECT_TRUE(glIsTexture(texture.textureName));
    EXPECT_EQ(Level0(GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, ReportsEachFailureInItsOwnStyle)
{
    const CTexture wrongType(Bitmap("body.BMP", 2, 2), GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT);
    const CTexture badSgi(directory.Write("env.rgb", {1, 2, 3}), GL_LINEAR, GL_LINEAR, GL_REPEAT,
                          GL_REPEAT);
    ASSERT_EQ(platform.MessageBoxes().size(), 2u);
    EXPECT_EQ(platform.MessageBoxes()[0].text,
              (directory.Path() / "body.BMP").string() + "\n\nInvalid file type.");
    EXPECT_EQ(platform.MessageBoxes()[0].icon, EMessageIcon::kError);
    EXPECT_EQ(platform.MessageBoxes()[1].caption, "Error");
    EXPECT_EQ(platform.MessageBoxes()[1].text, "Invalid rgb file.");
    EXPECT_EQ(platform.MessageBoxes()[1].icon, EMessageIcon::kNone);
    EXPECT_TRUE(wrongType.pixels.empty());
    EXPECT_TRUE(badSgi.pixels.empty());
}

// llvmpipe is OpenGL 2.0 or later, so sizes other than powers of two go up.
TEST_F(TextureTest, UploadsSizesOtherThanPowersOfTwoWhereSupported)
{
    ASSERT_GE(GlMajorVersion(reinterpret_cast<const char*>(glGetString(GL_VERSION))), 2);
    const CTexture texture(Bitmap("odd.bmp", 3, 5), GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT);
    EXPECT_TRUE(platform.MessageBoxes().empty());
    texture.Bind();
    EXPECT_EQ(Level0(GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(Level0(GL_TEXTURE_HEIGHT), 5);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The project's own pictures load as they are committed.
TEST_F(TextureTest, ProjectTexturesLoadWithoutABox)
{
    const std::filesystem::path assets = std::filesystem::path(CLATTERBOX_SOURCE_DIR) / "assets";
    for (const char* name : {"body.bmp", "floor.bmp", "env.bmp"})
    {
        const CTexture texture((assets / name).string(), GL_LINEAR, GL_LINEAR, GL_REPEAT,
                               GL_REPEAT);
        EXPECT_TRUE(IsPowerOfTwo(texture.width)) << name;
        EXPECT_TRUE(IsPowerOfTwo(texture.height)) << name;
        EXPECT_GE(texture.width, 64) << name;
    }
    for (const SMessageBoxRecord& box : platform.MessageBoxes())
    {
        ADD_FAILURE() << box.text;
    }
}
} // namespace
