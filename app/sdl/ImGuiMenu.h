#pragma once
// The main menu bar drawn with Dear ImGui from the application's menu state.

#include <vector>

class CMenuState;

// Draws the bar inside the current ImGui frame and appends the command of
// every item chosen to `chosen`. Returns true while one of its menus is open.
bool DrawMainMenuBar(const CMenuState& menu, std::vector<int>& chosen);
