// Menu commands, accelerators and plain keys: what each does to the
// application and the world, and the menu's check marks and greyed items
// after it.

#include <gtest/gtest.h>

#include <functional>

#include "app/Commands.h"
#include "dynamics/Body.h"
#include "render/StartupState.h"
#include "tests/support/AppFixture.h"
#include "world/World.h"

namespace
{
// The marks and enabled states of every item, in menu order.
std::vector<std::pair<bool, bool>> Marks(const CMenuState& menu)
{
    std::vector<std::pair<bool, bool>> marks;
    for (const SMenuEntry& entry : menu.Entries())
        marks.emplace_back(entry.checked, entry.enabled);
    return marks;
}

struct SCommandCase
{
    const char* name;
    int command;
    std::function<void(const CApplication&, const CHeadlessPlatform&)> expect;
};

std::ostream& operator<<(std::ostream& out, const SCommandCase& c)
{
    return out << c.name;
}

void ExpectMenu(const CMenuState& menu, bool paused, bool environment, int shadow)
{
    EXPECT_EQ(menu.IsChecked(kCommandPause), paused);
    EXPECT_EQ(menu.IsEnabled(kCommandSingleStep), paused);
    EXPECT_EQ(menu.IsChecked(kCommandEnvironmentMapping), environment);
    EXPECT_EQ(menu.IsChecked(kCommandShadowNone), shadow == 0);
    EXPECT_EQ(menu.IsChecked(kCommandFakeShadow), shadow == 1);
    EXPECT_EQ(menu.IsChecked(kCommandTrueShadow), shadow == 2);
    EXPECT_TRUE(menu.IsEnabled(kCommandFakeShadow));
    EXPECT_TRUE(menu.IsEnabled(kCommandTrueShadow));
}

void ExpectWorld(const CApplication& app, int scene, int environment, int shadow, int follow)
{
    EXPECT_EQ(app.World()->sceneIndex, scene);
    EXPECT_EQ(app.World()->environmentMapping, environment);
    EXPECT_EQ(app.World()->shadowMode, shadow);
    EXPECT_EQ(app.World()->follow, follow);
}

const SCommandCase kCommandCases[] = {
    {"About", kCommandAbout,
     [](const CApplication& app, const CHeadlessPlatform& host)
     {
         ASSERT_EQ(host.MessageBoxes().size(), 1u);
         const SMessageBoxRecord& box = host.MessageBoxes()[0];
         EXPECT_EQ(box.caption, "About Clatterbox");
         EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "Clatterbox version 1.05");
         EXPECT_EQ(box.icon, EMessageIcon::kInformation);
         EXPECT_EQ(box.buttons, EMessageButtons::kOk);
         ExpectWorld(app, 0, 1, 2, 0);
         ExpectMenu(app.Menu(), false, true, 2);
     }},
    {"Pause", kCommandPause,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         EXPECT_TRUE(app.Paused());
         ExpectMenu(app.Menu(), true, true, 2);
     }},
    {"SingleStepWhileRunning", kCommandSingleStep,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         EXPECT_FALSE(app.Paused());
         EXPECT_FLOAT_EQ(app.TimeStep(), 0.005f);
         ExpectMenu(app.Menu(), false, true, 2);
     }},
    {"Exit", kCommandExit,
     [](const CApplication&, const CHeadlessPlatform& host)
     { EXPECT_EQ(host.PendingEvents(), 1u); }},
    {"EnvironmentMapping", kCommandEnvironmentMapping,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         ExpectWorld(app, 0, 0, 2, 0);
         ExpectMenu(app.Menu(), false, false, 2);
     }},
    {"ShadowNone", kCommandShadowNone,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         ExpectWorld(app, 0, 1, 0, 0);
         ExpectMenu(app.Menu(), false, true, 0);
     }},
    {"FakeShadow", kCommandFakeShadow,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         ExpectWorld(app, 0, 1, 1, 0);
         ExpectMenu(app.Menu(), false, true, 1);
     }},
    {"TrueShadow", kCommandTrueShadow,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         ExpectWorld(app, 0, 1, 2, 0);
         ExpectMenu(app.Menu(), false, true, 2);
     }},
    {"Follow", kCommandFollow,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         ExpectWorld(app, 0, 1, 2, 1);
         ExpectMenu(app.Menu(), false, true, 2);
     }},
    {"NextScene", kCommandNextScene,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         ExpectWorld(app, 1, 1, 2, 0);
         EXPECT_EQ(app.World()->target, app.World()->Body(1));
     }},
    {"PreviousScene", kCommandPreviousScene,
     [](const CApplication& app, const CHeadlessPlatform&) { ExpectWorld(app, 10, 1, 2, 0); }},
    {"ResetScene", kCommandResetScene,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         ExpectWorld(app, 0, 1, 2, 0);
         EXPECT_EQ(app.World()->target, app.World()->Body(1));
     }},
    {"ContactsClassic", kCommandContactsClassic,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         EXPECT_EQ(app.World()->contactModel, EContactModel::Classic);
         EXPECT_TRUE(app.Menu().IsChecked(kCommandContactsClassic));
         EXPECT_FALSE(app.Menu().IsChecked(kCommandContactsStable));
         ExpectWorld(app, 0, 1, 2, 0);
     }},
    {"ContactsStable", kCommandContactsStable,
     [](const CApplication& app, const CHeadlessPlatform&)
     {
         EXPECT_EQ(app.World()->contactModel, EContactModel::Stable);
         EXPECT_TRUE(app.Menu().IsChecked(kCommandContactsStable));
         EXPECT_FALSE(app.Menu().IsChecked(kCommandContactsClassic));
     }},
    {"Unlisted", 40011,
     [](const CApplication& app, const CHeadlessPlatform& host)
     {
         ExpectWorld(app, 0, 1, 2, 0);
         EXPECT_TRUE(host.MessageBoxes().empty());
         EXPECT_EQ(host.PendingEvents(), 0u);
     }},
};

class CCommandTest : public CAppTest, public ::testing::WithParamInterface<SCommandCase>
{
};
} // namespace

TEST_P(CCommandTest, ActsAndUpdatesTheMenu)
{
    StartRunning();
    app->OnCommand(GetParam().command);
    GetParam().expect(*app, host);
}

INSTANTIATE_TEST_SUITE_P(Commands, CCommandTest, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CAppTest, StartUpSetsTheMenuFromTheState)
{
    StartRunning();
    ExpectMenu(app->Menu(), false, true, 2);
    EXPECT_TRUE(app->Menu().IsChecked(kCommandContactsStable));
    EXPECT_FALSE(app->Menu().IsChecked(kCommandContactsClassic));
}

TEST_F(CAppTest, SwitchingContactsKeepsTheSceneAsItIs)
{
    StartRunning();
    for (int i = 0; i < 50; ++i)
    {
        app->World()->Step(0.002f);
    }
    const CVector before = app->World()->Body(1)->Position();
    const size_t bodies = static_cast<size_t>(app->World()->BodyCount());
    app->OnCommand(kCommandContactsClassic);
    EXPECT_EQ(app->World()->contactModel, EContactModel::Classic);
    EXPECT_EQ(static_cast<size_t>(app->World()->BodyCount()), bodies);
    const CVector after = app->World()->Body(1)->Position();
    EXPECT_EQ(before.x, after.x);
    EXPECT_EQ(before.y, after.y);
    EXPECT_EQ(before.z, after.z);
}

TEST_F(CAppTest, EveryCommandRefreshesTheMenuEvenAnUnlistedOne)
{
    StartRunning();
    app->World()->shadowMode = 0;
    app->World()->environmentMapping = 0;
    ExpectMenu(app->Menu(), false, true, 2);
    app->OnCommand(40999);
    ExpectMenu(app->Menu(), false, false, 0);
}

TEST_F(CAppTest, ResetSceneRebuildsTheScene)
{
    StartRunning();
    const int bodies = app->World()->BodyCount();
    app->OnKeyDown(kVkF5);
    ASSERT_EQ(app->World()->BodyCount(), bodies + 1);
    app->OnCommand(kCommandResetScene);
    EXPECT_EQ(app->World()->BodyCount(), bodies);
}

TEST_F(CAppTest, NextFromTheLastSceneGoesToTheFirst)
{
    StartRunning();
    app->OnCommand(kCommandPreviousScene);
    ASSERT_EQ(app->World()->sceneIndex, 10);
    app->OnCommand(kCommandNextScene);
    EXPECT_EQ(app->World()->sceneIndex, 0);
}

TEST_F(CAppTest, PauseThenTwoSingleStepsAdvanceExactlyTwoSmoothedSteps)
{
    StartRunning();
    app->OnCommand(kCommandPause);

    // Paused frames move no physics.
    const double frozen = g_simulatedTime;
    host.AdvanceTime(20);
    app->Idle();
    EXPECT_EQ(g_simulatedTime, frozen);

    const float before = app->TimeStep();
    host.AdvanceTime(20);
    app->OnCommand(kCommandSingleStep);
    const float first = app->TimeStep();
    EXPECT_FLOAT_EQ(first, 0.01f + before * 0.5f);
    host.AdvanceTime(20);
    app->OnCommand(kCommandSingleStep);
    const float second = app->TimeStep();
    EXPECT_FLOAT_EQ(second, 0.01f + first * 0.5f);

    // The world ran the fixed steps of both frames and no more.
    const double ran = g_simulatedTime - frozen;
    EXPECT_GE(ran, first + second - 1e-6);
    EXPECT_LE(ran, first + second + 2 * 0.002 + 1e-6);
    EXPECT_TRUE(app->Paused());
    EXPECT_TRUE(app->Menu().IsChecked(kCommandPause));
    EXPECT_TRUE(app->Menu().IsEnabled(kCommandSingleStep));
}

TEST_F(CAppTest, WithOneStencilBitFakeShadowIsTheBestThereIs)
{
    host.OverrideGrantedFormat({8, 8, 8, 0, 24, 1, true});
    StartRunning();
    EXPECT_EQ(app->World()->shadowMode, 1);
    EXPECT_TRUE(app->Menu().IsChecked(kCommandFakeShadow));
    EXPECT_TRUE(app->Menu().IsEnabled(kCommandFakeShadow));
    EXPECT_FALSE(app->Menu().IsEnabled(kCommandTrueShadow));
}

TEST_F(CAppTest, WithoutStencilBothShadowItemsAreGreyed)
{
    host.OverrideGrantedFormat({8, 8, 8, 0, 24, 0, true});
    StartRunning();
    EXPECT_EQ(app->World()->shadowMode, 0);
    EXPECT_TRUE(app->Menu().IsChecked(kCommandShadowNone));
    EXPECT_FALSE(app->Menu().IsEnabled(kCommandFakeShadow));
    EXPECT_FALSE(app->Menu().IsEnabled(kCommandTrueShadow));
    EXPECT_TRUE(app->Menu().IsEnabled(kCommandShadowNone));
}

TEST_F(CAppTest, MenuCarriesTheLabelsShortcutsAndCommandsInOrder)
{
    StartRunning();
    std::vector<std::string> lines;
    for (const SMenuEntry& entry : app->Menu().Entries())
    {
        switch (entry.kind)
        {
        case EMenuEntryKind::kBeginPopup:
            lines.push_back("[" + entry.label);
            break;
        case EMenuEntryKind::kEndPopup:
            lines.push_back("]");
            break;
        case EMenuEntryKind::kSeparator:
            lines.push_back("-");
            break;
        case EMenuEntryKind::kItem:
            lines.push_back(entry.label + "|" + entry.shortcut + "|" +
                            std::to_string(entry.command));
            break;
        }
    }
    const std::vector<std::string> expected = {
        "[File",
        "About...||40001",
        "-",
        "Pause|Pause|40002",
        "Single Step|Space|40003",
        "-",
        "Save Screenshot|F12|40005",
        "-",
        "Exit|Esc|40004",
        "]",
        "[Options",
        "Enviroment Mapping||40010",
        "[Shadowing",
        "None||40012",
        "Fake Shadow||40017",
        "True Shadow||40018",
        "]",
        "-",
        "Next Scene|F1|40014",
        "Previous Scene|F2|40015",
        "Reset Scene|F3|40016",
        "-",
        "[Contacts",
        "Classic||40020",
        "Stable||40021",
        "]",
        "]",
        "[View",
        "Statistics|S|40031",
        "Contact Points|C|40032",
        "Timeline|T|40033",
        "-",
        "[Speed",
        "1/16||40034",
        "1/8||40035",
        "1/4||40036",
        "1/2||40037",
        "1 (Real Time)|Backspace|40038",
        "-",
        "Slower|-|40039",
        "Faster|=|40040",
        "]",
        "]",
        "[Help",
        "Controls|?|40051",
        "]",
    };
    EXPECT_EQ(lines, expected);
}

// Keys as they come from the window, through the loop.

struct SAcceleratorCase
{
    int key;
    int command;
};

TEST_F(CAppTest, AcceleratorsAreTheKeysOfTheTable)
{
    // The seven of the accelerator table, with or without Shift, ? (Shift and
    // /) for the Controls window, the speed keys and the instruments.
    const SAcceleratorCase table[] = {
        {kVkF, kCommandFollow},
        {kVkEscape, kCommandExit},
        {kVkF1, kCommandNextScene},
        {kVkF2, kCommandPreviousScene},
        {kVkF3, kCommandResetScene},
        {kVkPause, kCommandPause},
        {kVkSpace, kCommandSingleStep},
        {kVkF1 | kKeyShift, kCommandNextScene},
        {kVkOem2 | kKeyShift, kCommandControls},
        {kVkBack, kCommandSpeedRealTime},
        {kVkOemMinus, kCommandSpeedSlower},
        {kVkOemPlus, kCommandSpeedFaster},
        {'S', kCommandStatistics},
        {'C', kCommandContactPoints},
        {kVkF1 + 11, kCommandSaveScreenshot},
    };
    for (const SAcceleratorCase& c : table)
    {
        const SCommand* command = CApplication::FindAccelerator(c.key);
        ASSERT_NE(command, nullptr) << c.key;
        EXPECT_EQ(command->id, c.command);
    }
    int accelerators = 0;
    for (const SCommand& command : CApplication::Commands())
        accelerators += command.key != 0 && command.handler != nullptr ? 1 : 0;
    EXPECT_EQ(accelerators, 14);
    // Plain keys, / without Shift, and the key of an item not built yet.
    const int unbound[] = {kVk0, kVkNumpad0, kVkSubtract, kVkF4, kVkF5, kVkF6, kVkOem2, 'T'};
    for (const int key : unbound)
        EXPECT_EQ(CApplication::FindAccelerator(key), nullptr) << key;
}

TEST_F(CAppTest, AcceleratorKeysBecomeCommandsInTheLoop)
{
    StartRunning();
    PushKey(kVkF1);
    PushKey(kVkF1);
    PushKey(kVkF2);
    PushKey(kVkF);
    PushKey(kVkPause);
    RunQueued();
    EXPECT_EQ(app->World()->sceneIndex, 1);
    EXPECT_EQ(app->World()->follow, 1);
    EXPECT_TRUE(app->Paused());
    EXPECT_TRUE(app->Menu().IsChecked(kCommandPause));

    // Space single-steps while paused; Esc ends the loop.
    const float before = app->TimeStep();
    host.AdvanceTime(20);
    PushKey(kVkSpace);
    PushKey(kVkEscape);
    app->Run();
    EXPECT_FLOAT_EQ(app->TimeStep(), 0.01f + before * 0.5f);
    EXPECT_TRUE(app->Paused());
    EXPECT_EQ(host.PendingEvents(), 0u);
}

// The SDL host marks the keys pressed while the pointer rests on the menu bar.
TEST_F(CAppTest, OverTheMenuBarOnlyTheShortcutsAct)
{
    StartRunning();
    const CVector before = app->World()->Body(0)->Position();
    const int bodies = app->World()->BodyCount();
    const auto* target = app->World()->target;
    const int worldKeys[] = {kVkF4, kVkF5, kVkF5, kVkF6, kVkF6, kVk0 + 3};
    for (const int key : worldKeys)
        PushKey(key, true);
    RunQueued();
    const CVector after = app->World()->Body(0)->Position();
    EXPECT_TRUE(before.x == after.x && before.y == after.y && before.z == after.z);
    EXPECT_EQ(app->World()->BodyCount(), bodies);
    EXPECT_EQ(app->World()->target, target);

    PushKey(kVkF1, true);
    PushKey(kVkEscape, true);
    app->Run();
    EXPECT_EQ(app->World()->sceneIndex, 1);
    EXPECT_EQ(host.PendingEvents(), 0u);
}

TEST_F(CAppTest, DigitKeysSelectTheFollowedBody)
{
    StartRunning();
    PushKey('3');
    RunQueued();
    EXPECT_EQ(app->World()->follow, 1);
    EXPECT_EQ(app->World()->target, app->World()->Body(3));

    PushKey(kVkNumpad0 + 2);
    RunQueued();
    EXPECT_EQ(app->World()->target, app->World()->Body(2));

    PushKey(kVkSubtract);
    RunQueued();
    EXPECT_EQ(app->World()->target, app->World()->pusher.get());
    EXPECT_EQ(app->World()->follow, 1);
}

TEST_F(CAppTest, DigitBeyondTheBodiesTurnsFollowingOffAndKeepsTheTarget)
{
    StartRunning();
    while (app->World()->BodyCount() > 5)
        app->OnKeyDown(kVkF6);
    app->OnKeyDown('2');
    ASSERT_EQ(app->World()->follow, 1);
    const CInertialBody* target = app->World()->target;
    app->OnKeyDown('7');
    EXPECT_EQ(app->World()->follow, 0);
    EXPECT_EQ(app->World()->target, target);
}

TEST_F(CAppTest, FTogglesFollowingWithNoMenuChange)
{
    StartRunning();
    const auto before = Marks(app->Menu());
    PushKey(kVkF);
    RunQueued();
    EXPECT_EQ(app->World()->follow, 1);
    EXPECT_EQ(Marks(app->Menu()), before);
    PushKey(kVkF);
    RunQueued();
    EXPECT_EQ(app->World()->follow, 0);
}

TEST_F(CAppTest, F5AddsABallForEveryRepeatAndF6RemovesDownToOne)
{
    StartRunning();
    const int bodies = app->World()->BodyCount();
    PushKey(kVkF5);
    PushKey(kVkF5);
    PushKey(kVkF5);
    RunQueued();
    EXPECT_EQ(app->World()->BodyCount(), bodies + 3);

    for (int i = 0; i < bodies + 10; ++i)
        PushKey(kVkF6);
    RunQueued();
    EXPECT_EQ(app->World()->BodyCount(), 1);
}

TEST_F(CAppTest, F4ThrowsEveryBody)
{
    StartRunning();
    const CVector before = app->World()->Body(0)->Position();
    PushKey(kVkF4);
    RunQueued();
    const CVector after = app->World()->Body(0)->Position();
    EXPECT_TRUE(before.x != after.x || before.y != after.y || before.z != after.z);
}

TEST_F(CAppTest, KeysNeitherUpdateTheMenuNorActWhenUnknown)
{
    StartRunning();
    app->World()->shadowMode = 0;
    const auto before = Marks(app->Menu());
    const int bodies = app->World()->BodyCount();
    PushKey(kVkF5);
    PushKey('A');
    PushKey(kVkLeft);
    RunQueued();
    EXPECT_EQ(app->World()->BodyCount(), bodies + 1);
    EXPECT_EQ(Marks(app->Menu()), before);
    EXPECT_EQ(app->World()->follow, 0);
    EXPECT_EQ(app->World()->sceneIndex, 0);
}

TEST_F(CAppTest, CommandsFromTheMenuGoThroughTheLoop)
{
    StartRunning();
    SHostEvent chosen;
    chosen.type = EHostEventType::kCommand;
    chosen.command = kCommandNextScene;
    Push(chosen);
    chosen.command = kCommandFakeShadow;
    Push(chosen);
    RunQueued();
    EXPECT_EQ(app->World()->sceneIndex, 1);
    EXPECT_EQ(app->World()->shadowMode, 1);
    EXPECT_TRUE(app->Menu().IsChecked(kCommandFakeShadow));
}
