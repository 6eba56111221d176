#pragma once
// The text of the Controls window, made from the command table, the key
// table, the held inputs and the menu's own keys, so that it lists exactly
// what works.

#include <span>
#include <string>
#include <vector>

#include "app/CommandTable.h"

struct SControlsRow
{
    std::string input; // the key or gesture; empty for a command with no key
    std::string menu;  // "File > Pause"; empty when it has no menu item
    std::string effect;
    int command = 0; // the command of a command row; 0 otherwise
};

struct SControlsSection
{
    std::string title;
    std::vector<SControlsRow> rows;
};

using ControlsListing = std::vector<SControlsSection>;

// Sections in order: the commands (built ones only), the plain keys, the held
// keys and mouse gestures, the menu's keys.
ControlsListing BuildControlsListing(std::span<const SCommand> commands,
                                     std::span<const SKeyBinding> keys,
                                     std::span<const SHeldInput> held,
                                     std::span<const SHeldInput> menuKeys);
