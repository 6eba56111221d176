#pragma once
// The main menu bar and the Controls window, drawn with Dear ImGui from the
// application's menu state and controls listing.

#include <cstddef>
#include <vector>

#include "app/ControlsListing.h"

class CMenuState;
class CMenuKeyboard;

struct SMenuBarFrame
{
    // The popups open after this frame, outermost first (indices of their
    // kBeginPopup entries).
    std::vector<size_t> open;
    // Pixels from the bar's left edge to the right end of its last title.
    float width = 0.0f;
};

// Draws the bar inside the current ImGui frame and appends the command of
// every item chosen with the mouse to `chosen`. The keyboard's open popups
// are applied first when keys changed them (`lastOpen`: the popups open after
// the frame before); otherwise the keyboard follows
// what the mouse opened or closed. Its highlighted entry is drawn as the
// mouse's hovered one is, and item mnemonics are underlined while it has
// the keyboard.
SMenuBarFrame DrawMainMenuBar(const CMenuState& menu, CMenuKeyboard& keyboard,
                              const std::vector<size_t>& lastOpen, std::vector<int>& chosen);

// The Controls window, centred in the area below the bar when it appears;
// false once its close button was pressed.
bool DrawControlsWindow(const ControlsListing& listing);

// The smallest height of the area below the bar at which the tallest popup
// fits, from the current font and style.
float TallestPopupHeight(const CMenuState& menu);
