#pragma once
// The density of the display the window opens on, in dots per inch, as the
// desktop states it: X's Xft.dpi setting first (the scale a desktop's text is
// drawn at), then SDL's figure for the display, then the X screen's size in
// millimetres; 0 when nothing tells. Call after SDL's video start.
float DisplayDpi();
