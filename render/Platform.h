#pragma once
// What the simulation and the drawing ask of the host system: the live
// keyboard state, modal message boxes and the millisecond clock. The SDL2
// window and the headless EGL layer in app/ each provide one; the library
// itself knows no windowing toolkit.

#include <cstdint>
#include <string>

// Virtual-key codes, numbered as the keyboard commands were first laid out.
enum EVirtualKey : int
{
    kVkBack = 0x08,
    kVkReturn = 0x0D,
    kVkShift = 0x10,
    kVkControl = 0x11,
    kVkMenu = 0x12, // Alt
    kVkPause = 0x13,
    kVkEscape = 0x1B,
    kVkSpace = 0x20,
    kVkEnd = 0x23,
    kVkHome = 0x24,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVk0 = 0x30,
    kVk9 = 0x39,
    kVkF = 0x46,
    kVkNumpad0 = 0x60,
    kVkNumpad9 = 0x69,
    kVkSubtract = 0x6D,
    kVkF1 = 0x70,
    kVkF2 = 0x71,
    kVkF3 = 0x72,
    kVkF4 = 0x73,
    kVkF5 = 0x74,
    kVkF6 = 0x75,
    kVkF10 = 0x79,
    kVkOemPlus = 0xBB,  // the = + key of a US keyboard
    kVkOemMinus = 0xBD, // the - _ key of a US keyboard
    kVkOem2 = 0xBF,     // the / ? key of a US keyboard
};

enum class EMessageButtons
{
    kOk,
    kYesNo,
};

enum class EMessageIcon
{
    kNone,
    kError,
    kWarning,
    kInformation,
};

enum class EMessageResult
{
    kOk = 1,
    kYes = 6,
    kNo = 7,
};

class IPlatform
{
public:
    virtual ~IPlatform() = default;

    // The high-order byte rule of the original key polling: true while held.
    virtual bool IsKeyDown(int virtualKey) const = 0;

    // Modal; returns the button pressed (kOk for an OK box).
    virtual EMessageResult MessageBox(const std::string& caption, const std::string& text,
                                      EMessageButtons buttons, EMessageIcon icon) = 0;

    // Milliseconds since system start, 32 bits, wrapping.
    virtual uint32_t TimeGetTime() const = 0;
};

// The process-wide host, installed by the entry point or a test before the
// world or any texture is made.
void SetPlatform(IPlatform* platform);
IPlatform& Platform();
