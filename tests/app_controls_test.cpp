// The Controls window and the menu are made from the command table, the key
// table and the held inputs: everything built is listed once, nothing else
// is, a row added to the table reaches the menu and the window by itself,
// and every key the window names does what its row says.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "app/Commands.h"
#include "app/ControlsListing.h"
#include "app/MenuKeyboard.h"
#include "tests/support/AppFixture.h"
#include "world/World.h"

namespace
{
const SControlsSection& Section(const ControlsListing& listing, const std::string& title)
{
    for (const SControlsSection& section : listing)
        if (section.title == title)
            return section;
    static const SControlsSection none;
    ADD_FAILURE() << "no section " << title;
    return none;
}

// The virtual key the Controls window names `name`, Shift or-ed in; 0 for none.
int KeyNamed(const std::string& name)
{
    for (int key = 1; key < 0x100; ++key)
        for (const int modifier : {0, kKeyShift})
            if (KeyName(key | modifier) == name)
                return key | modifier;
    return 0;
}

// What a command or key can change, as one comparable value.
struct SObserved
{
    bool paused;
    int scene;
    int environment;
    int shadow;
    int follow;
    int bodies;
    bool controls;
    int speed;
    size_t boxes;
    size_t pending;
    bool statistics;
    bool contactPoints;
    bool screenshot;
    bool operator==(const SObserved&) const = default;
};

SObserved Observe(const CApplication& app, const CHeadlessPlatform& host)
{
    const CWorld& world = *app.World();
    return {app.Paused(),        world.sceneIndex, world.environmentMapping,
            world.shadowMode,    world.follow,     world.BodyCount(),
            app.ControlsShown(), app.SpeedIndex(), host.MessageBoxes().size(),
            host.PendingEvents(), app.StatisticsShown(), world.recordContacts,
            app.ScreenshotPending()};
}

struct SCommandKeyCase
{
    std::string name;
    int command;
    std::string key;
};

std::ostream& operator<<(std::ostream& out, const SCommandKeyCase& c)
{
    return out << c.name;
}

// Every command row of the Controls window that names a key.
std::vector<SCommandKeyCase> CommandKeyCases()
{
    std::vector<SCommandKeyCase> cases;
    for (const SCommand& command : CApplication::Commands())
    {
        if (command.handler == nullptr || command.key == 0)
            continue;
        std::string name =
            command.label != nullptr ? LabelText(command.label) : "Key" + KeyName(command.key);
        name.erase(std::remove_if(name.begin(), name.end(),
                                  [](char c)
                                  { return !std::isalnum(static_cast<unsigned char>(c)); }),
                   name.end());
        cases.push_back({name, command.id, KeyName(command.key)});
    }
    return cases;
}

class CControlsKeyTest : public CAppTest, public ::testing::WithParamInterface<SCommandKeyCase>
{
};
} // namespace

TEST_F(CAppTest, ControlsListEveryBuiltCommandOnceWithItsMenuPathAndKey)
{
    ASSERT_TRUE(Start());
    const SControlsSection& commands = Section(app->Controls(), "Commands");
    std::map<int, int> seen;
    for (const SControlsRow& row : commands.rows)
        ++seen[row.command];
    for (const SCommand& command : CApplication::Commands())
    {
        if (command.handler == nullptr)
        {
            EXPECT_EQ(seen.count(command.id), 0u) << "listed but not built: " << command.id;
            continue;
        }
        ASSERT_EQ(seen[command.id], 1) << command.id;
        const auto row =
            std::find_if(commands.rows.begin(), commands.rows.end(),
                         [&](const SControlsRow& r) { return r.command == command.id; });
        EXPECT_EQ(row->input, KeyName(command.key));
        EXPECT_EQ(row->menu, MenuPath(command));
        EXPECT_FALSE(row->effect.empty());
    }
    // Spot checks of the texts themselves.
    const auto pause =
        std::find_if(commands.rows.begin(), commands.rows.end(),
                     [](const SControlsRow& r) { return r.command == kCommandPause; });
    EXPECT_EQ(pause->input, "Pause");
    EXPECT_EQ(pause->menu, "File > Pause");
    const auto none =
        std::find_if(commands.rows.begin(), commands.rows.end(),
                     [](const SControlsRow& r) { return r.command == kCommandShadowNone; });
    EXPECT_EQ(none->menu, "Options > Shadowing > None");
    EXPECT_EQ(none->input, "");
}

TEST_F(CAppTest, ControlsListEveryKeyGestureAndMenuKeyOnce)
{
    ASSERT_TRUE(Start());
    const auto expectOnce = [&](const std::string& title, auto rows, size_t more = 0)
    {
        const SControlsSection& section = Section(app->Controls(), title);
        EXPECT_EQ(section.rows.size(), rows.size() + more) << title;
        std::multiset<std::string> inputs;
        for (const SControlsRow& row : section.rows)
            inputs.insert(row.input);
        for (const auto& row : rows)
        {
            const std::string input = [&]
            {
                if constexpr (requires { row.keys; })
                    return std::string(row.keys);
                else
                    return std::string(row.input);
            }();
            EXPECT_EQ(inputs.count(input), 1u) << title << ": " << input;
        }
    };
    expectOnce("Keys", CApplication::Keys());
    expectOnce("Held keys and mouse", CApplication::HeldInputs());
    expectOnce("Menu keys", MenuKeys(), 1);
    // The titles' Alt keys, made from the titles.
    const SControlsSection& menuKeys = Section(app->Controls(), "Menu keys");
    ASSERT_GE(menuKeys.rows.size(), 2u);
    EXPECT_EQ(menuKeys.rows[1].input, "Alt+F, Alt+O, Alt+V, Alt+H");
    EXPECT_EQ(menuKeys.rows[1].effect, "open File, Options, View, Help");
    // No key is both a command's and a plain key's.
    std::set<std::string> commandKeys;
    for (const SControlsRow& row : Section(app->Controls(), "Commands").rows)
    {
        if (!row.input.empty())
        {
            EXPECT_TRUE(commandKeys.insert(row.input).second) << row.input;
        }
    }
}

TEST_P(CControlsKeyTest, TheListedKeyDoesWhatTheMenuItemDoes)
{
    // Through the loop with the key the window names...
    StartRunning();
    const int key = KeyNamed(GetParam().key);
    ASSERT_NE(key, 0) << GetParam().key;
    SHostEvent event;
    event.type = EHostEventType::kKeyDown;
    event.key = key & ~kKeyShift;
    event.shift = (key & kKeyShift) != 0;
    Push(event);
    RunQueued();
    const SObserved byKey = Observe(*app, host);

    // ...and on a second start, the command chosen from the menu.
    app.reset();
    CHeadlessPlatform menuHost;
    auto byMenu = std::make_unique<CApplication>(menuHost);
    menuHost.SetTime(1000);
    ASSERT_TRUE(byMenu->Initialize());
    byMenu->Advance();
    SHostEvent chosen;
    chosen.type = EHostEventType::kCommand;
    chosen.command = GetParam().command;
    menuHost.PushEvent(chosen);
    menuHost.PostQuit(0);
    byMenu->Run();
    const SObserved byCommand = Observe(*byMenu, menuHost);
    byMenu.reset();

    EXPECT_TRUE(byKey == byCommand) << GetParam().key;
    // The command did something a person could see, or ended the program.
    CHeadlessPlatform idleHost;
    auto idle = std::make_unique<CApplication>(idleHost);
    idleHost.SetTime(1000);
    ASSERT_TRUE(idle->Initialize());
    idle->Advance();
    idleHost.PostQuit(0);
    idle->Run();
    const SObserved untouched = Observe(*idle, idleHost);
    // Single Step does nothing while running; Reset Scene rebuilds the scene
    // just built; Faster and Real Time keep the real time the program starts in.
    const int command = GetParam().command;
    if (command != kCommandSingleStep && command != kCommandResetScene &&
        command != kCommandSpeedFaster && command != kCommandSpeedRealTime)
    {
        EXPECT_FALSE(byKey == untouched) << GetParam().key << " changed nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CControlsKeyTest, ::testing::ValuesIn(CommandKeyCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(CAppTest, ControlsCommandShowsTheListingUntilChosenAgain)
{
    StartRunning();
    app->Render();
    EXPECT_EQ(host.ControlsDrawn(), nullptr);
    app->OnCommand(kCommandControls);
    app->Render();
    ASSERT_EQ(host.ControlsDrawn(), &app->Controls());
    app->OnCommand(kCommandControls);
    app->Render();
    EXPECT_EQ(host.ControlsDrawn(), nullptr);
}

TEST_F(CAppTest, AboutBoxComesOverAFrameDrawnForIt)
{
    StartRunning();
    const int draws = host.MenuDrawCount();
    const int swaps = host.SwapCount();
    app->OnCommand(kCommandAbout);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MenuDrawCount(), draws + 1);
    // Not swapped: the host shows the box over it.
    EXPECT_EQ(host.SwapCount(), swaps);
}

// A table row is all it takes: its item appears in its menu and submenu, its
// key and text in the Controls window; a row not built is greyed and unlisted.
TEST(CommandTable, ARowReachesTheMenuAndTheControlsByItself)
{
    const SCommand table[] = {
        {1, "File", "&Open", 0, &CApplication::OnPause, "open"},
        {2, "Options", "Detail", 'D', &CApplication::OnPause, "detail"},
        {3, "Options/Contacts", "C&lassic", 0, &CApplication::OnPause, "classic", true},
        {4, "Options/Contacts", "&Stable", 0, &CApplication::OnPause, "stable"},
        {5, "View", "Later", 'L', nullptr, "later"},
        {6, "File", "Quit", 0, &CApplication::OnExit, "quit", true},
    };
    std::vector<std::string> lines;
    for (const SMenuEntry& entry : BuildMenuEntries(table))
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
                            (entry.mnemonic != 0 ? std::string(1, entry.mnemonic) : "") + "|" +
                            (entry.enabled ? "on" : "off"));
            break;
        }
    }
    const std::vector<std::string> expected = {
        "[File",
        "Open||O|on",
        "-",
        "Quit|||on",
        "]",
        "[Options",
        "Detail|D||on",
        "-",
        "[Contacts",
        "Classic||L|on",
        "Stable||S|on",
        "]",
        "]",
        "[View",
        "Later|L||off",
        "]",
        "[Help",
        "]",
    };
    EXPECT_EQ(lines, expected);

    const ControlsListing listing = BuildControlsListing(table, {}, {}, {});
    std::vector<std::string> rows;
    for (const SControlsRow& row : listing[0].rows)
        rows.push_back(row.input + "|" + row.menu + "|" + row.effect);
    const std::vector<std::string> expectedRows = {
        "|File > Open|open",
        "D|Options > Detail|detail",
        "|Options > Contacts > Classic|classic",
        "|Options > Contacts > Stable|stable",
        "|File > Quit|quit",
    };
    EXPECT_EQ(rows, expectedRows);
}
