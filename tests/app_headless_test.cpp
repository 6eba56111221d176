// The headless host: a real offscreen framebuffer of the asked format, and the
// scripted parts (failures, boxes, answers, events) behaving as tests rely on.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "tests/support/HeadlessGLTest.h"

TEST(HeadlessGL, GrantsTrueColourDepthAndStencil)
{
    CHeadlessGL gl(64, 32);
    EXPECT_EQ(gl.Granted().redBits, 8);
    EXPECT_EQ(gl.Granted().greenBits, 8);
    EXPECT_EQ(gl.Granted().blueBits, 8);
    EXPECT_GE(gl.Granted().depthBits, 24);
    EXPECT_EQ(gl.Granted().stencilBits, 8);

    GLint stencilBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    EXPECT_EQ(stencilBits, 8);
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    // A desktop compatibility context, not OpenGL ES.
    EXPECT_EQ(std::string(version).find("OpenGL ES"), std::string::npos);
}

TEST(HeadlessGL, RejectsAnEmptyFramebuffer)
{
    EXPECT_THROW(CHeadlessGL(0, 10), std::runtime_error);
}

TEST_F(CHeadlessGLTest, ReadsBackWhatWasDrawnBottomRowFirst)
{
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, kWidth, 1);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    EXPECT_EQ(Pixel(5, 0)[0], 255);
    EXPECT_EQ(Pixel(5, 0)[2], 0);
    EXPECT_EQ(Pixel(5, 1)[0], 0);
    EXPECT_EQ(Pixel(5, kHeight - 1)[2], 255);
}

TEST_F(CHeadlessGLTest, StencilBufferHoldsValues)
{
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 5, 0xFF);
    glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_STENCIL_TEST);
    GLubyte stencil = 0;
    glReadPixels(10, 10, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &stencil);
    EXPECT_EQ(stencil, 5);
}

TEST_F(CPlatformTest, RecordsBoxesAndAnswersYesNoFromTheQueue)
{
    platform.QueueAnswer(EMessageResult::kNo);
    EXPECT_EQ(platform.MessageBox("Error", "no file", EMessageButtons::kOk, EMessageIcon::kError),
              EMessageResult::kOk);
    EXPECT_EQ(Platform().MessageBox("Q", "go?", EMessageButtons::kYesNo, EMessageIcon::kWarning),
              EMessageResult::kNo);
    // The queue is empty now: the default button.
    EXPECT_EQ(Platform().MessageBox("Q", "again?", EMessageButtons::kYesNo, EMessageIcon::kWarning),
              EMessageResult::kYes);

    ASSERT_EQ(platform.MessageBoxes().size(), 3u);
    EXPECT_EQ(platform.MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(platform.MessageBoxes()[0].text, "no file");
    EXPECT_EQ(platform.MessageBoxes()[0].icon, EMessageIcon::kError);
    EXPECT_EQ(platform.MessageBoxes()[1].buttons, EMessageButtons::kYesNo);
}

TEST_F(CPlatformTest, ClockAndKeysAreScripted)
{
    platform.SetTime(0xFFFFFFF0u);
    platform.AdvanceTime(0x20);
    EXPECT_EQ(Platform().TimeGetTime(), 0x10u);

    platform.SetKeyDown(kVkLeft, true);
    EXPECT_TRUE(Platform().IsKeyDown(kVkLeft));
    EXPECT_FALSE(Platform().IsKeyDown(kVkRight));
    platform.SetKeyDown(kVkLeft, false);
    EXPECT_FALSE(Platform().IsKeyDown(kVkLeft));
}

TEST(HeadlessPlatform, ScriptedFailureStopsTheStepWithItsText)
{
    CHeadlessPlatform platform;
    platform.FailStep(EHeadlessStep::kCreateContext, "out of contexts");
    std::string error;
    ASSERT_TRUE(platform.OpenDisplay(error)) << error;
    ASSERT_TRUE(platform.SetPixelFormat(kProgramPixelFormat, error)) << error;
    ASSERT_TRUE(platform.CreateMainWindow("Clatterbox", 64, 48, error)) << error;
    EXPECT_FALSE(platform.CreateContext(error));
    EXPECT_EQ(error, "out of contexts");
}

TEST(HeadlessPlatform, PostedQuitComesAfterTheEventsAlreadyQueued)
{
    CHeadlessPlatform platform;
    SHostEvent key;
    key.type = EHostEventType::kKeyDown;
    key.key = kVkF5;
    platform.PushEvent(key);
    platform.PostQuit(0);

    SHostEvent event;
    ASSERT_TRUE(platform.PollEvent(event));
    EXPECT_EQ(event.type, EHostEventType::kKeyDown);
    ASSERT_TRUE(platform.PollEvent(event));
    EXPECT_EQ(event.type, EHostEventType::kQuit);
    EXPECT_FALSE(platform.PollEvent(event));
}
