// Start-up of the application on the headless host: the window and the
// context it asks for, the OpenGL start state, and each way start-up fails
// with its exact box and the exit status.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <ostream>

#include "app/Commands.h"
#include "render/StartupState.h"
#include "render/Texture.h"
#include "tests/support/AppFixture.h"
#include "world/World.h"

#ifndef GL_LIGHT_MODEL_COLOR_CONTROL
#define GL_LIGHT_MODEL_COLOR_CONTROL 0x81F8
#endif
#ifndef GL_SEPARATE_SPECULAR_COLOR
#define GL_SEPARATE_SPECULAR_COLOR 0x81FA
#endif

namespace
{
GLint Integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}
} // namespace

TEST_F(CAppTest, StartsAWindowOfTheMenuBarAndA640By480View)
{
    host.SetMenuBarHeight(19);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(app->Ready());
    EXPECT_TRUE(host.WindowShown());
    EXPECT_EQ(host.WindowWidth(), 640);
    EXPECT_EQ(host.WindowHeight(), 480 + 19);
    EXPECT_EQ(host.Caption(), "Clatterbox");
    EXPECT_EQ(g_stencilBits, 8);
    // The three textures load without a word.
    EXPECT_TRUE(host.MessageBoxes().empty());
    ASSERT_NE(g_bodyTexture, nullptr);
    ASSERT_NE(g_floorTexture, nullptr);
    ASSERT_NE(g_envTexture, nullptr);
    EXPECT_GT(g_floorTexture->width, 0);

    // The view is the area below the bar.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);

    ASSERT_NE(app->World(), nullptr);
    EXPECT_EQ(app->World()->sceneIndex, 0);
    EXPECT_EQ(app->World()->shadowMode, 2);
    EXPECT_GE(app->World()->BodyCount(), 2);
}

TEST_F(CAppTest, SetsTheStartState)
{
    ASSERT_TRUE(Start());
    GLfloat clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    GLfloat ambient[4] = {};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_EQ(ambient[0] + ambient[1] + ambient[2] + ambient[3], 4.0f);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(Integer(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    // llvmpipe lists GL_EXT_separate_specular_color.
    EXPECT_TRUE(g_separateSpecular);
    EXPECT_EQ(Integer(GL_LIGHT_MODEL_COLOR_CONTROL), GL_SEPARATE_SPECULAR_COLOR);
}

struct SRendererCase
{
    const char* version;
    const char* renderer;
    const char* extensions;
    bool separateSpecular;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SRendererCase& c, std::ostream* out)
{
    *out << '"' << c.version << "\" \"" << c.renderer << '"';
}

class CRendererTest : public CAppTest, public ::testing::WithParamInterface<SRendererCase>
{
};

TEST_P(CRendererTest, DecidesSeparateSpecularFromTheReportedStrings)
{
    const SRendererCase& c = GetParam();
    host.OverrideGLString(GL_VERSION, c.version);
    host.OverrideGLString(GL_RENDERER, c.renderer);
    host.OverrideGLString(GL_EXTENSIONS, c.extensions);
    ASSERT_TRUE(Start());
    EXPECT_EQ(g_separateSpecular, c.separateSpecular);
    EXPECT_EQ(Integer(GL_LIGHT_MODEL_COLOR_CONTROL) == GL_SEPARATE_SPECULAR_COLOR,
              c.separateSpecular);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Strings, CRendererTest,
    ::testing::Values(
        SRendererCase{"1.2.1", "Some Board", "", true},
        SRendererCase{"1.2.1", "RIVA TNT/AGP", "GL_EXT_separate_specular_color", false},
        SRendererCase{"1.1.0", "Some Board", "GL_ARB_separate_specular_color", true},
        // 1.3 and 2.0 pass the version test without the 1.2 flag.
        SRendererCase{"1.3.0", "Some Board", "GL_EXT_texture", false},
        SRendererCase{"2.0", "Some Board", "GL_EXT_separate_specular_colour", false},
        SRendererCase{"2.0", "Some Board", "GL_A GL_EXT_separate_specular_color", true}));

struct SFailureCase
{
    EHeadlessStep step;
    const char* message;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SFailureCase& c, std::ostream* out)
{
    *out << c.message;
}

class CStartFailureTest : public CAppTest, public ::testing::WithParamInterface<SFailureCase>
{
};

TEST_P(CStartFailureTest, ShowsTheErrorWithTheSystemTextAndEndsWithMinusOne)
{
    host.FailStep(GetParam().step, "the system's reason");
    EXPECT_EQ(ApplicationMain(host), -1);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    const SMessageBoxRecord& box = host.MessageBoxes()[0];
    EXPECT_EQ(box.caption, "Clatterbox Error");
    EXPECT_EQ(box.text, std::string(GetParam().message) + "\n\nthe system's reason");
    EXPECT_EQ(box.buttons, EMessageButtons::kOk);
    EXPECT_EQ(box.icon, EMessageIcon::kError);
    EXPECT_FALSE(box.windowShown);
    EXPECT_FALSE(host.WindowShown());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CStartFailureTest,
    ::testing::Values(
        SFailureCase{EHeadlessStep::kOpenDisplay, "Failed to initialize Window."},
        SFailureCase{EHeadlessStep::kSetPixelFormat, "Failed to set pixel format."},
        SFailureCase{EHeadlessStep::kCreateMainWindow, "Failed to initialize Window."},
        SFailureCase{EHeadlessStep::kCreateContext, "Failed to create OpenGL context."}));

TEST_F(CAppTest, RefusesOpenGl10)
{
    host.OverrideGLString(GL_VERSION, "1.0.3");
    EXPECT_EQ(ApplicationMain(host), -1);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].caption, "Clatterbox Error");
    EXPECT_EQ(host.MessageBoxes()[0].text, "This demo requires OpenGL 1.1 or later.");
    EXPECT_EQ(host.MessageBoxes()[0].icon, EMessageIcon::kError);
    // The window is up by then and owns the box.
    EXPECT_TRUE(host.MessageBoxes()[0].windowShown);
}

TEST_F(CAppTest, WarnsOnceAboutFewerThan24ColourBitsBeforeShowingTheWindow)
{
    host.OverrideGrantedFormat({5, 6, 5, 0, 24, 8, true});
    host.QueueAnswer(EMessageResult::kYes);
    ASSERT_TRUE(Start());
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    const SMessageBoxRecord& box = host.MessageBoxes()[0];
    EXPECT_EQ(box.caption, "Clatterbox Warning");
    EXPECT_EQ(box.text, "Clatterbox is optimized for 32 bits colors. \nDo you want to run this "
                        "demo in the current display mode anyway? \n(It may be very slow.)");
    EXPECT_EQ(box.buttons, EMessageButtons::kYesNo);
    EXPECT_EQ(box.icon, EMessageIcon::kWarning);
    EXPECT_FALSE(box.windowShown);
    EXPECT_TRUE(app->Ready());
}

TEST_F(CAppTest, NoToTheColourWarningEndsWithMinusOne)
{
    host.OverrideGrantedFormat({5, 6, 5, 0, 24, 8, true});
    host.QueueAnswer(EMessageResult::kNo);
    EXPECT_EQ(ApplicationMain(host), -1);
    EXPECT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_FALSE(host.WindowShown());
}

TEST_F(CAppTest, TrueColourWithAlphaGivesNoWarning)
{
    host.OverrideGrantedFormat({8, 8, 8, 8, 24, 8, true});
    ASSERT_TRUE(Start());
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(CAppTest, StencilBitsGrantedDecideTheShadowMode)
{
    for (const auto& [stencil, mode] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{8, 2}})
    {
        CHeadlessPlatform platform;
        platform.OverrideGrantedFormat({8, 8, 8, 0, 24, stencil, true});
        CApplication application(platform);
        ASSERT_TRUE(application.Initialize());
        EXPECT_EQ(g_stencilBits, stencil);
        EXPECT_EQ(application.World()->shadowMode, mode) << "stencil bits " << stencil;
    }
}

TEST_F(CAppTest, ClosingTheWindowEndsWithZero)
{
    SHostEvent close;
    close.type = EHostEventType::kClose;
    host.PushEvent(close);
    EXPECT_EQ(ApplicationMain(host), 0);
    EXPECT_EQ(host.PendingEvents(), 0u);
}

TEST_F(CAppTest, EscapeEndsWithZero)
{
    PushKey(kVkEscape);
    EXPECT_EQ(ApplicationMain(host), 0);
}
