#pragma once
// How large the menu bar and the panels are drawn on a given display: the
// scale of Dear ImGui's font and spacing from the display's density.

// 1 up to about 96 dots per inch, in quarter steps above (1.25 at 120, 2 at
// 192), at most 4; 1 when the density is unknown (0 or less).
float UiScaleOfDpi(float dpi);

// The Xft.dpi setting in an X resource string ("Xft.dpi:\t192\n..."), which
// desktops set to scale their text; 0 when it is not there or not a number.
float XftDpiOfResources(const char* resources);
