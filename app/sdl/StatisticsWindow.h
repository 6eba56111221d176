#pragma once
// The statistics overlay: a small translucent panel in the top right corner
// of the 3D area, below the menu bar, that the pointer passes through.

#include <string>

class CFrameStatistics;

// top: pixels from the top of the window to the 3D area. The status line is
// left out when empty.
void DrawStatisticsWindow(const CFrameStatistics& statistics, const std::string& status, float top);
