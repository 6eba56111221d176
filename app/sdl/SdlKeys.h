#pragma once
// The keyboard as the program's virtual keys see it: SDL scancodes by the
// physical key, so that the commands sit on the same keys on every layout.

#include <SDL.h>

// The virtual key of a scancode, or 0 for a key the program does not know.
int VirtualKeyOfScancode(SDL_Scancode scancode);

// Whether the virtual key is held in SDL's live keyboard state; Ctrl and
// Shift count on either side.
bool IsVirtualKeyHeld(const Uint8* keyboardState, int virtualKey);
