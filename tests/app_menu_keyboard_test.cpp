// The menu bar driven from the keyboard alone, on the program's own menu:
// which popups a run of keys leaves open, what is highlighted, what is
// chosen, and which keys the menu takes from the program.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Commands.h"
#include "app/MenuKeyboard.h"

namespace
{
// One step of a case: "Alt+F" (a key with Alt held), "Alt" (Alt pressed and
// released alone), "AltDown"/"AltUp", "Click" (a mouse button), "FocusLost"
// (the window lost the keyboard), "Mouse:File" (the mouse opened File), or a
// key: "F10", "Esc", "Enter", "Space", "Up",
// "Down", "Left", "Right", "F1", a letter.
struct SKeyboardCase
{
    const char* name;
    std::vector<const char*> steps;
    const char* open;      // the open popups, outermost first, ">" between
    const char* highlight; // the highlighted entry's label; "" for none
    int command;           // chosen by the last step; 0 for none
    bool consumed;         // the last step's key was the menu's
    bool hasKeyboard;      // the menu has the keyboard afterwards
};

std::ostream& operator<<(std::ostream& out, const SKeyboardCase& c)
{
    return out << c.name;
}

int KeyOf(const std::string& name)
{
    const std::pair<const char*, int> named[] = {
        {"F10", kVkF10}, {"Esc", kVkEscape},  {"Enter", kVkReturn}, {"Space", kVkSpace},
        {"Up", kVkUp},   {"Down", kVkDown},   {"Left", kVkLeft},    {"Right", kVkRight},
        {"F1", kVkF1},   {"Pause", kVkPause},
    };
    for (const auto& [text, key] : named)
        if (name == text)
            return key;
    return name.size() == 1 ? name[0] : 0;
}

size_t PopupNamed(const CMenuState& menu, const std::string& label)
{
    for (size_t i = 0; i < menu.Entries().size(); ++i)
        if (menu.Entries()[i].kind == EMenuEntryKind::kBeginPopup &&
            menu.Entries()[i].label == label)
            return i;
    return CMenuKeyboard::kNone;
}

class CMenuKeyboardTest : public ::testing::TestWithParam<SKeyboardCase>
{
protected:
    // The menu as the program builds it, Single Step greyed as while running.
    CMenuState menu{BuildMenuEntries(CApplication::Commands())};
    CMenuKeyboard keyboard;
};
} // namespace

TEST_P(CMenuKeyboardTest, LeavesTheMenuAsADesktopMenuWould)
{
    menu.Enable(kCommandSingleStep, false);
    SMenuKeyResult last;
    for (const std::string step : GetParam().steps)
    {
        last = {};
        if (step == "Alt")
        {
            last = keyboard.OnKeyDown(menu, kVkMenu, false);
            keyboard.OnKeyUp(menu, kVkMenu);
        }
        else if (step == "AltDown")
            last = keyboard.OnKeyDown(menu, kVkMenu, false);
        else if (step == "AltUp")
            keyboard.OnKeyUp(menu, kVkMenu);
        else if (step == "Click")
            keyboard.OnMouseButton();
        else if (step == "FocusLost")
            keyboard.OnFocusLost();
        else if (step.starts_with("Mouse:"))
            keyboard.Follow({PopupNamed(menu, step.substr(6))});
        else if (step.starts_with("Alt+"))
            last = keyboard.OnKeyDown(menu, KeyOf(step.substr(4)), true);
        else
        {
            ASSERT_NE(KeyOf(step), 0) << step;
            last = keyboard.OnKeyDown(menu, KeyOf(step), false);
            keyboard.OnKeyUp(menu, KeyOf(step));
        }
    }
    std::string open;
    for (const size_t popup : keyboard.Path())
        open += (open.empty() ? "" : ">") + menu.Entries()[popup].label;
    EXPECT_EQ(open, GetParam().open);
    const size_t highlight = keyboard.Highlight();
    EXPECT_EQ(highlight == CMenuKeyboard::kNone ? std::string() : menu.Entries()[highlight].label,
              GetParam().highlight);
    EXPECT_EQ(last.command, GetParam().command);
    EXPECT_EQ(last.consumed, GetParam().consumed);
    EXPECT_EQ(keyboard.HasKeyboard(), GetParam().hasKeyboard);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CMenuKeyboardTest,
    ::testing::Values(
        // Without the menu, the program's keys are the program's.
        SKeyboardCase{"EscWithNoMenuIsTheProgramsExit", {"Esc"}, "", "", 0, false, false},
        SKeyboardCase{"F1WithNoMenuIsTheProgramsKey", {"F1"}, "", "", 0, false, false},
        // Into the bar.
        SKeyboardCase{"F10HighlightsFile", {"F10"}, "", "File", 0, true, true},
        SKeyboardCase{"AltAloneHighlightsFile", {"Alt"}, "", "File", 0, true, true},
        SKeyboardCase{"AltAloneAgainLetsGo", {"Alt", "Alt"}, "", "", 0, true, false},
        SKeyboardCase{"F10AgainLetsGo", {"F10", "Down", "F10"}, "", "", 0, true, false},
        // (A release is no press: nothing to consume.)
        SKeyboardCase{
            "AltWithAKeyIsNotAlone", {"AltDown", "Alt+1", "AltUp"}, "", "", 0, false, false},
        SKeyboardCase{
            "AltWithAClickIsNotAlone", {"AltDown", "Click", "AltUp"}, "", "", 0, false, false},
        SKeyboardCase{"AltLeftForAnotherWindowIsNotAlone",
                      {"AltDown", "FocusLost", "AltUp"},
                      "",
                      "",
                      0,
                      false,
                      false},
        SKeyboardCase{"AltFOpensFile", {"Alt+F"}, "File", "About...", 0, true, true},
        SKeyboardCase{
            "AltOOpensOptions", {"Alt+O"}, "Options", "Enviroment Mapping", 0, true, true},
        SKeyboardCase{"AltVOpensView", {"Alt+V"}, "View", "Statistics", 0, true, true},
        SKeyboardCase{"AltHOpensHelp", {"Alt+H"}, "Help", "Controls", 0, true, true},
        SKeyboardCase{"AltWithAnotherLetterOpensNothing", {"Alt+Q"}, "", "", 0, true, false},
        SKeyboardCase{
            "ALetterInTheBarOpensItsMenu", {"F10", "H"}, "Help", "Controls", 0, true, true},
        // Moving.
        SKeyboardCase{"RightInTheBar", {"F10", "Right", "Right"}, "", "View", 0, true, true},
        SKeyboardCase{"LeftInTheBarWraps", {"F10", "Left"}, "", "Help", 0, true, true},
        SKeyboardCase{"DownOpensTheHighlightedMenu",
                      {"F10", "Right", "Down"},
                      "Options",
                      "Enviroment Mapping",
                      0,
                      true,
                      true},
        SKeyboardCase{"UpOpensItAtItsLastItem", {"F10", "Up"}, "File", "Exit", 0, true, true},
        SKeyboardCase{
            "DownSkipsSeparators", {"Alt+F", "Down", "Down"}, "File", "Single Step", 0, true, true},
        SKeyboardCase{"DownWrapsToTheTop",
                      {"Alt+F", "Down", "Down", "Down", "Down", "Down"},
                      "File",
                      "About...",
                      0,
                      true,
                      true},
        SKeyboardCase{"RightGoesToTheNextMenu",
                      {"Alt+F", "Right"},
                      "Options",
                      "Enviroment Mapping",
                      0,
                      true,
                      true},
        SKeyboardCase{
            "LeftFromTheFirstMenuWraps", {"Alt+F", "Left"}, "Help", "Controls", 0, true, true},
        SKeyboardCase{"RightOpensASubmenu",
                      {"Alt+O", "Down", "Right"},
                      "Options>Shadowing",
                      "None",
                      0,
                      true,
                      true},
        SKeyboardCase{"LeftClosesTheSubmenu",
                      {"Alt+O", "Down", "Right", "Left"},
                      "Options",
                      "Shadowing",
                      0,
                      true,
                      true},
        SKeyboardCase{"RightInASubmenuGoesToTheNextMenu",
                      {"Alt+O", "Down", "Right", "Right"},
                      "View",
                      "Statistics",
                      0,
                      true,
                      true},
        // Choosing.
        SKeyboardCase{
            "EnterChoosesPause", {"Alt+F", "Down", "Enter"}, "", "", kCommandPause, true, false},
        SKeyboardCase{"SpaceChoosesAbout", {"Alt+F", "Space"}, "", "", kCommandAbout, true, false},
        SKeyboardCase{"EnterOpensASubmenu",
                      {"Alt+O", "Down", "Enter"},
                      "Options>Shadowing",
                      "None",
                      0,
                      true,
                      true},
        SKeyboardCase{"EnterChoosesInASubmenu",
                      {"Alt+O", "Down", "Enter", "Down", "Enter"},
                      "",
                      "",
                      kCommandFakeShadow,
                      true,
                      false},
        SKeyboardCase{"LetterPChoosesPause", {"Alt+F", "P"}, "", "", kCommandPause, true, false},
        SKeyboardCase{
            "LetterEChoosesExit", {"F10", "Down", "E"}, "", "", kCommandExit, true, false},
        SKeyboardCase{
            "LetterOfAGreyedItemChoosesNothing", {"Alt+F", "S"}, "File", "About...", 0, true, true},
        SKeyboardCase{"EnterOnAGreyedItemChoosesNothing",
                      {"Alt+V", "Down", "Down", "Enter"},
                      "View",
                      "Timeline",
                      0,
                      true,
                      true},
        SKeyboardCase{
            "LetterCChoosesControls", {"Alt+H", "C"}, "", "", kCommandControls, true, false},
        SKeyboardCase{
            "OtherKeysInAMenuAreTaken", {"Alt+F", "F1"}, "File", "About...", 0, true, true},
        SKeyboardCase{"PauseInAMenuIsTaken", {"Alt+F", "Pause"}, "File", "About...", 0, true, true},
        // Esc, one level at a time.
        SKeyboardCase{"EscClosesTheSubmenu",
                      {"Alt+O", "Down", "Enter", "Esc"},
                      "Options",
                      "Shadowing",
                      0,
                      true,
                      true},
        SKeyboardCase{"EscThenClosesTheMenu",
                      {"Alt+O", "Down", "Enter", "Esc", "Esc"},
                      "",
                      "Options",
                      0,
                      true,
                      true},
        SKeyboardCase{"EscThenLeavesTheBar",
                      {"Alt+O", "Down", "Enter", "Esc", "Esc", "Esc"},
                      "",
                      "",
                      0,
                      true,
                      false},
        SKeyboardCase{"EscAfterLeavingIsTheProgramsAgain",
                      {"Alt+O", "Esc", "Esc", "Esc"},
                      "",
                      "",
                      0,
                      false,
                      false},
        SKeyboardCase{
            "EscClosesAMenuTheMouseOpened", {"Mouse:File", "Esc"}, "", "", 0, true, false},
        SKeyboardCase{"ArrowsWorkInAMenuTheMouseOpened",
                      {"Mouse:Options", "Down", "Down"},
                      "Options",
                      "Shadowing",
                      0,
                      true,
                      true},
        SKeyboardCase{"AClickLetsTheBarGo", {"F10", "Click"}, "", "", 0, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MenuKeyboard, ReportsChangesOfTheOpenPopupsOnce)
{
    const CMenuState menu{BuildMenuEntries(CApplication::Commands())};
    CMenuKeyboard keyboard;
    EXPECT_FALSE(keyboard.TakeChange());
    keyboard.OnKeyDown(menu, kVkF10, false);
    EXPECT_FALSE(keyboard.TakeChange()) << "the bar alone opens no popup";
    keyboard.OnKeyDown(menu, kVkDown, false);
    EXPECT_TRUE(keyboard.TakeChange());
    EXPECT_FALSE(keyboard.TakeChange());
    keyboard.OnKeyDown(menu, kVkDown, false);
    EXPECT_FALSE(keyboard.TakeChange()) << "moving within a popup opens none";
    // The mouse closed it: the keyboard follows, and has nothing to apply.
    keyboard.Follow({});
    EXPECT_FALSE(keyboard.HasKeyboard());
    EXPECT_FALSE(keyboard.TakeChange());
}
