#pragma once
// The tables that drive the menu bar, the keys and the Controls window alike:
// every command with its place in the menu, its label, its key and its
// handler; every plain key; every held key and mouse gesture the world reads.
// The menu and the Controls window are built from them, so neither can list
// what does not work nor miss what does.

#include <span>
#include <string>
#include <vector>

#include "app/MenuState.h"

class CApplication;

struct SCommand
{
    int id;
    // The popup that holds the item, "/" between levels ("Options/Shadowing");
    // null when the command has no item.
    const char* menu;
    // The item's text, '&' before the letter that chooses it in an open menu.
    const char* label;
    // Accelerator virtual key, kKeyShift or-ed in when Shift belongs to it;
    // 0 for none. Its name is shown beside the label.
    int key;
    // Null while the command is not built: its item is greyed, its key does
    // nothing, and the Controls window leaves it out.
    void (CApplication::*handler)();
    // What it does, as the Controls window says it.
    const char* effect;
    // A separator above the item (or above the submenu its row opens).
    bool separatorBefore = false;
};

// Keys that reach the application as plain key presses, a run of keys per row.
struct SKeyBinding
{
    int firstKey;
    int lastKey;
    // The handler gets firstArgument + (key - firstKey).
    int firstArgument;
    const char* keys; // as the Controls window names them
    const char* effect;
    void (CApplication::*handler)(int argument);
};

// Keys and mouse gestures the world reads while they are held.
struct SHeldInput
{
    const char* input;
    const char* effect;
};

// The popups of the menu bar, in order; Alt and the first letter opens each.
inline constexpr const char* kMenuTitles[] = {"File", "Options", "View", "Help"};

// The name of a key as the menu and the Controls window show it: "Esc", "F1",
// "Space", "?", "S"; empty for 0.
std::string KeyName(int key);
// A label without its '&'.
std::string LabelText(const char* label);
// The upper-case letter after the label's '&', or 0.
char Mnemonic(const char* label);
// The menu bar: the popups of kMenuTitles filled with the commands' items in
// table order, a submenu where its first row stands. Popups stay enabled, so
// that items not built yet can be seen, greyed.
std::vector<SMenuEntry> BuildMenuEntries(std::span<const SCommand> commands);
// "Options > Shadowing > None"; empty for a command without an item.
std::string MenuPath(const SCommand& command);
