// One frame of the application: the smoothed time step, the mouse velocity,
// the projection of the 3D area, the drawing and the frame-rate caption.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "render/Diagnostics.h"
#include "tests/support/AppFixture.h"
#include "world/MouseState.h"
#include "world/World.h"

namespace
{
SHostEvent MouseMove(int x, int y)
{
    SHostEvent event;
    event.type = EHostEventType::kMouseMove;
    event.x = x;
    event.y = y;
    return event;
}
} // namespace

TEST_F(CAppTest, FirstStepIsHalfTheInitialStep)
{
    host.SetTime(123456);
    ASSERT_TRUE(Start());
    host.AdvanceTime(40); // time spent before the first frame does not count
    app->Advance();
    EXPECT_FLOAT_EQ(app->TimeStep(), 0.005f);
}

TEST_F(CAppTest, SteadyTwentyMillisecondsSettlesAtTwentyMilliseconds)
{
    StartRunning();
    for (int frame = 0; frame < 40; ++frame)
    {
        host.AdvanceTime(20);
        app->Advance();
    }
    EXPECT_NEAR(app->TimeStep(), 0.02f, 1e-6f);
}

TEST_F(CAppTest, StallCountsAsFiftyMilliseconds)
{
    StartRunning();
    for (int frame = 0; frame < 40; ++frame)
    {
        host.AdvanceTime(20);
        app->Advance();
    }
    const float before = app->TimeStep();
    host.AdvanceTime(7000);
    app->Advance();
    EXPECT_FLOAT_EQ(app->TimeStep(), 0.025f + before * 0.5f);
}

TEST_F(CAppTest, ZeroMillisecondsHalvesTheStepAndAWrapOfTheClockIsHarmless)
{
    StartRunning(0xFFFFFFF0u);
    const float first = app->TimeStep();
    app->Advance();
    EXPECT_FLOAT_EQ(app->TimeStep(), first * 0.5f);
    EXPECT_GT(app->TimeStep(), 0.0f);

    const float before = app->TimeStep();
    host.AdvanceTime(30); // across 2^32
    app->Advance();
    EXPECT_FLOAT_EQ(app->TimeStep(), 0.015f + before * 0.5f);
}

TEST_F(CAppTest, ManySubMillisecondFramesLeaveTheMouseVelocityFinite)
{
    StartRunning();
    app->WindowProc(MouseMove(64, 48));
    for (int frame = 0; frame < 200; ++frame)
        app->Advance();
    EXPECT_TRUE(std::isfinite(g_mouseState.velocity.x));
    EXPECT_TRUE(std::isfinite(g_mouseState.velocity.y));
    EXPECT_GE(app->TimeStep(), 0.0f);
}

TEST_F(CAppTest, MouseVelocityFollowsTheMoveAndHalvesAtRest)
{
    StartRunning();
    host.AdvanceTime(20);
    app->Advance();
    const float before = g_mouseState.velocity.x;

    // 64 of 640 pixels: a tenth of the width, to the right; 48 of 480 down.
    app->WindowProc(MouseMove(64, 48));
    EXPECT_FLOAT_EQ(g_mouseState.position.x, 0.1f);
    EXPECT_FLOAT_EQ(g_mouseState.position.y, -0.1f);
    host.AdvanceTime(20);
    app->Advance();
    const float moveStep = app->TimeStep();
    EXPECT_FLOAT_EQ(g_mouseState.velocity.x, before * 0.5f + 0.1f / moveStep * 0.5f);
    EXPECT_LT(g_mouseState.velocity.y, 0.0f);

    const float moving = g_mouseState.velocity.x;
    host.AdvanceTime(20);
    app->Advance();
    EXPECT_FLOAT_EQ(g_mouseState.velocity.x, moving * 0.5f);
}

TEST_F(CAppTest, MouseYGrowsUpwards)
{
    ASSERT_TRUE(Start());
    app->WindowProc(MouseMove(100, 300));
    const float low = g_mouseState.position.y;
    app->WindowProc(MouseMove(100, 200));
    EXPECT_GT(g_mouseState.position.y, low);
    EXPECT_EQ(g_mouseState.position.z, 0.0f);
}

TEST_F(CAppTest, ButtonsAreRecorded)
{
    ASSERT_TRUE(Start());
    SHostEvent event;
    event.type = EHostEventType::kButtonDown;
    event.button = EMouseButton::kRight;
    app->WindowProc(event);
    EXPECT_TRUE(g_mouseState.rightButtonDown);
    EXPECT_FALSE(g_mouseState.leftButtonDown);
    event.button = EMouseButton::kLeft;
    app->WindowProc(event);
    EXPECT_TRUE(g_mouseState.leftButtonDown);
    event.type = EHostEventType::kButtonUp;
    app->WindowProc(event);
    EXPECT_FALSE(g_mouseState.leftButtonDown);
    EXPECT_TRUE(g_mouseState.rightButtonDown);
}

TEST_F(CAppTest, ResizeSetsViewportAndA30DegreePerspective)
{
    ASSERT_TRUE(Start());
    SHostEvent size;
    size.type = EHostEventType::kSize;
    size.width = 800;
    size.height = 400;
    app->WindowProc(size);
    EXPECT_EQ(app->ClientWidth(), 800);
    EXPECT_EQ(app->ClientHeight(), 400);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 400);

    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(15.0 * M_PI / 180.0);
    EXPECT_NEAR(projection[0], f / 2.0, 1e-5);
    EXPECT_NEAR(projection[5], f, 1e-5);
    EXPECT_NEAR(projection[10], -1001.0 / 999.0, 1e-5);
    EXPECT_NEAR(projection[11], -1.0, 1e-6);
    EXPECT_NEAR(projection[14], -2000.0 / 999.0, 1e-5);
}

TEST_F(CAppTest, ZeroHeightKeepsTheLoopAndTheMouseFinite)
{
    StartRunning();
    app->Resize(640, 0);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (const GLfloat value : projection)
        EXPECT_TRUE(std::isfinite(value));
    const CVector before = g_mouseState.position;
    app->WindowProc(MouseMove(10, 10));
    EXPECT_EQ(g_mouseState.position.y, before.y);

    host.AdvanceTime(20);
    app->Idle();
    app->Resize(640, 480);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[0], 1.0 / std::tan(15.0 * M_PI / 180.0) * 0.75, 1e-5);
}

TEST_F(CAppTest, RenderDrawsTheWorldThenTheMenuAndSwaps)
{
    ASSERT_TRUE(Start());
    app->Render();
    EXPECT_EQ(host.SwapCount(), 1);
    EXPECT_EQ(host.MenuDrawCount(), 1);

    // The floor fills the middle of the view.
    std::vector<uint8_t> pixel(4);
    glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    EXPECT_GT(pixel[0] + pixel[1] + pixel[2], 60);
}

TEST_F(CAppTest, NothingIsDrawnBeforeStartUpIsDone)
{
    CApplication application(host);
    application.Render();
    EXPECT_EQ(host.SwapCount(), 0);
    EXPECT_FALSE(application.Ready());
}

TEST_F(CAppTest, CaptionShowsNameSceneRateAndNote)
{
    ASSERT_TRUE(Start());
    g_diagnosticNote.clear();
    EXPECT_EQ(app->FormatCaption(59.94), "Clatterbox - Billiards 1  (59.9 fps)   ");
    g_diagnosticNote = "contacts 3";
    EXPECT_EQ(app->FormatCaption(1000.0), "Clatterbox - Billiards 1  (1000.0 fps)   contacts 3");
    // The caption buffer holds 79 characters and the terminator.
    g_diagnosticNote = std::string(200, 'x');
    EXPECT_EQ(app->FormatCaption(60.0).size(), 79u);
    g_diagnosticNote.clear();
}

TEST_F(CAppTest, CaptionRefreshesOnlyAfterMoreThanHalfASecond)
{
    host.SetTime(1000);
    ASSERT_TRUE(Start());
    g_diagnosticNote.clear();
    for (uint32_t t = 1000; t <= 1500; t += 100)
    {
        host.SetTime(t);
        app->UpdateCaption();
    }
    EXPECT_EQ(host.CaptionChanges(), 0);
    EXPECT_EQ(host.Caption(), "Clatterbox");

    // Six frames counted in 0.501 s.
    host.SetTime(1501);
    app->UpdateCaption();
    EXPECT_EQ(host.CaptionChanges(), 1);
    EXPECT_EQ(host.Caption(), "Clatterbox - Billiards 1  (12.0 fps)   ");

    // The refreshing frame counts towards the next window: 1 + 4 frames in 0.6 s.
    for (uint32_t t = 1601; t <= 2001; t += 100)
    {
        host.SetTime(t);
        app->UpdateCaption();
    }
    EXPECT_EQ(host.CaptionChanges(), 1);
    host.SetTime(2101);
    app->UpdateCaption();
    EXPECT_EQ(host.CaptionChanges(), 2);
    EXPECT_EQ(host.Caption(), "Clatterbox - Billiards 1  (10.0 fps)   ");
}

TEST_F(CAppTest, CaptionKeepsRefreshingAcrossAWrapOfTheClock)
{
    host.SetTime(0xFFFFFF00u);
    ASSERT_TRUE(Start());
    app->UpdateCaption();
    host.SetTime(0x00000100u); // 512 ms later
    app->UpdateCaption();
    EXPECT_EQ(host.CaptionChanges(), 1);
}

TEST_F(CAppTest, CaptionNamesTheCurrentScene)
{
    host.SetTime(0);
    ASSERT_TRUE(Start());
    app->World()->ChangeScene(-1);
    app->UpdateCaption();
    host.SetTime(600);
    app->UpdateCaption();
    EXPECT_EQ(host.Caption().rfind("Clatterbox - Rings 2  (", 0), 0u) << host.Caption();
}
