#pragma once
// A message box drawn inside the main window: a modal Dear ImGui window
// centred on it, over a copy of the frame the caller drew for it. Toolkit boxes are separate
// windows placed by the toolkit, which without a window manager puts them off-centre or partly off
// the window.

#include <SDL.h>

#include <deque>
#include <string>
#include <vector>

#include "app/Host.h"

// The picture of the window when the box came up, bottom row first.
struct SFrameCopy
{
    int width = 0;  // pixels
    int height = 0; // pixels
    std::vector<unsigned char> rgba;
};

// The back buffer of the current context, `width` x `height` pixels: the
// frame drawn last and not yet swapped.
SFrameCopy CopyBackBuffer(int width, int height);

// The key's answer to a box with `buttons`: Enter and Space the default
// button (Yes, OK), Esc the other (No, OK); false for any other key.
bool AnswerOfKey(SDL_Keycode key, EMessageButtons buttons, EMessageResult& answer);

// One frame of the box over `background`, inside an ImGui frame the caller
// has begun; true with `answer` set once a button was pressed.
bool DrawMessageBoxFrame(const SFrameCopy& background, const std::string& caption,
                         const std::string& text, EMessageButtons buttons, EMessageResult& answer);

// Closes the box's modal window inside the caller's ImGui frame.
void CloseMessageBox(const std::string& caption);
