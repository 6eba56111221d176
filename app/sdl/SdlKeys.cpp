#include "app/sdl/SdlKeys.h"

#include "render/Platform.h"

namespace
{
struct SKeyPair
{
    SDL_Scancode scancode;
    int virtualKey;
};

// Keys whose scancodes are not laid out in runs like the letters and digits.
constexpr SKeyPair kSingleKeys[] = {
    {SDL_SCANCODE_BACKSPACE, kVkBack},  {SDL_SCANCODE_RETURN, kVkReturn},
    {SDL_SCANCODE_KP_ENTER, kVkReturn}, {SDL_SCANCODE_LALT, kVkMenu},
    {SDL_SCANCODE_RALT, kVkMenu},       {SDL_SCANCODE_SLASH, kVkOem2},
    {SDL_SCANCODE_LSHIFT, kVkShift},    {SDL_SCANCODE_RSHIFT, kVkShift},
    {SDL_SCANCODE_LCTRL, kVkControl},   {SDL_SCANCODE_RCTRL, kVkControl},
    {SDL_SCANCODE_PAUSE, kVkPause},     {SDL_SCANCODE_ESCAPE, kVkEscape},
    {SDL_SCANCODE_SPACE, kVkSpace},     {SDL_SCANCODE_END, kVkEnd},
    {SDL_SCANCODE_HOME, kVkHome},       {SDL_SCANCODE_LEFT, kVkLeft},
    {SDL_SCANCODE_UP, kVkUp},           {SDL_SCANCODE_RIGHT, kVkRight},
    {SDL_SCANCODE_DOWN, kVkDown},       {SDL_SCANCODE_0, kVk0},
    {SDL_SCANCODE_KP_0, kVkNumpad0},    {SDL_SCANCODE_KP_MINUS, kVkSubtract},
    {SDL_SCANCODE_MINUS, kVkOemMinus},  {SDL_SCANCODE_EQUALS, kVkOemPlus},
};
} // namespace

int VirtualKeyOfScancode(SDL_Scancode scancode)
{
    for (const SKeyPair& pair : kSingleKeys)
        if (pair.scancode == scancode)
            return pair.virtualKey;
    // SDL numbers A to Z, 1 to 9, keypad 1 to 9 and F1 to F12 in runs.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return kVkNumpad0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return kVkF1 + (scancode - SDL_SCANCODE_F1);
    return 0;
}

bool IsVirtualKeyHeld(const Uint8* keyboardState, int virtualKey)
{
    if (keyboardState == nullptr || virtualKey == 0)
        return false;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
        if (keyboardState[scancode] != 0 &&
            VirtualKeyOfScancode(static_cast<SDL_Scancode>(scancode)) == virtualKey)
            return true;
    return false;
}
