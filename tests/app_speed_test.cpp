// Slow motion: each speed of the View > Speed menu lets the simulated clock
// keep up with that share of real time (fewer of the same fixed steps per
// frame), the keys -, = and Backspace move along the table, the menu checks
// the speed in force, and the caption names it whenever it is not real time.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "app/Speed.h"
#include "render/Diagnostics.h"
#include "render/Platform.h"
#include "tests/support/AppFixture.h"
#include "world/World.h"

namespace
{
struct SSpeedCase
{
    const char* name;
    int command;
    double scale;
};

void PrintTo(const SSpeedCase& c, std::ostream* out)
{
    *out << c.name;
}

class SpeedTest : public CAppTest, public ::testing::WithParamInterface<SSpeedCase>
{
};

// Twenty-millisecond frames for four seconds of real time.
TEST_P(SpeedTest, SimulatedTimeKeepsUpWithItsShareOfRealTime)
{
    const SSpeedCase& c = GetParam();
    StartRunning();
    app->OnCommand(c.command);
    for (int frame = 0; frame < 20; ++frame) // the smoothed step settles
    {
        host.AdvanceTime(20);
        app->Advance();
    }
    const double before = g_simulatedTime;
    for (int frame = 0; frame < 200; ++frame)
    {
        host.AdvanceTime(20);
        app->Advance();
    }
    const double simulated = g_simulatedTime - before;
    // Whole fixed steps: at most one step more than the share of 4 s.
    EXPECT_GE(simulated, 4.0 * c.scale - 1e-9);
    EXPECT_LE(simulated, 4.0 * c.scale + 0.002 + 1e-9);
    EXPECT_TRUE(app->Menu().IsChecked(c.command));
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpeedTest,
                         ::testing::Values(SSpeedCase{"OneSixteenth", kCommandSpeed1of16, 0.0625},
                                           SSpeedCase{"OneEighth", kCommandSpeed1of8, 0.125},
                                           SSpeedCase{"OneQuarter", kCommandSpeed1of4, 0.25},
                                           SSpeedCase{"OneHalf", kCommandSpeed1of2, 0.5},
                                           SSpeedCase{"RealTime", kCommandSpeedRealTime, 1.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CAppTest, MinusEqualsAndBackspaceMoveAlongTheSpeedsAndTheCaptionSaysWhich)
{
    StartRunning();
    g_diagnosticNote.clear();
    EXPECT_EQ(app->FormatCaption(60.0), "Clatterbox - Billiards 1  (60.0 fps)   ");
    for (int i = 0; i < 6; ++i) // one more than the table: held at 1/16
        PushKey(kVkOemMinus);
    RunQueued();
    EXPECT_EQ(app->SpeedIndex(), 0);
    EXPECT_EQ(app->FormatCaption(60.0), "Clatterbox - Billiards 1  (60.0 fps)   speed 1/16");
    EXPECT_FALSE(app->Menu().IsEnabled(kCommandSpeedSlower));

    PushKey(kVkOemPlus);
    PushKey(kVkOemPlus);
    RunQueued();
    EXPECT_EQ(app->FormatCaption(60.0), "Clatterbox - Billiards 1  (60.0 fps)   speed 1/4");
    g_diagnosticNote = "contacts 3";
    EXPECT_EQ(app->FormatCaption(60.0),
              "Clatterbox - Billiards 1  (60.0 fps)   contacts 3  speed 1/4");
    g_diagnosticNote.clear();

    PushKey(kVkBack);
    RunQueued();
    EXPECT_EQ(app->SpeedIndex(), kRealTimeSpeed);
    EXPECT_EQ(app->FormatCaption(60.0), "Clatterbox - Billiards 1  (60.0 fps)   ");
    EXPECT_FALSE(app->Menu().IsEnabled(kCommandSpeedFaster));
}

} // namespace
