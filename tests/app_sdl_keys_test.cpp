// The SDL host's keyboard: scancodes to the program's virtual keys, and the
// live-state query that camera and pusher poll.

#include <gtest/gtest.h>

#include <ostream>

#include <vector>

#include "app/sdl/SdlKeys.h"
#include "render/Platform.h"

namespace
{
struct SKeyCase
{
    SDL_Scancode scancode;
    int virtualKey;
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SKeyCase& c, std::ostream* out)
{
    *out << SDL_GetScancodeName(c.scancode) << " -> " << c.virtualKey;
}

class CScancodeTest : public ::testing::TestWithParam<SKeyCase>
{
};
} // namespace

TEST_P(CScancodeTest, MapsToTheVirtualKey)
{
    EXPECT_EQ(VirtualKeyOfScancode(GetParam().scancode), GetParam().virtualKey)
        << SDL_GetScancodeName(GetParam().scancode);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CScancodeTest,
    ::testing::Values(
        SKeyCase{SDL_SCANCODE_0, kVk0}, SKeyCase{SDL_SCANCODE_1, '1'},
        SKeyCase{SDL_SCANCODE_9, kVk9}, SKeyCase{SDL_SCANCODE_KP_0, kVkNumpad0},
        SKeyCase{SDL_SCANCODE_KP_1, kVkNumpad0 + 1}, SKeyCase{SDL_SCANCODE_KP_9, kVkNumpad9},
        SKeyCase{SDL_SCANCODE_KP_MINUS, kVkSubtract}, SKeyCase{SDL_SCANCODE_F, kVkF},
        SKeyCase{SDL_SCANCODE_A, 'A'}, SKeyCase{SDL_SCANCODE_Z, 'Z'},
        SKeyCase{SDL_SCANCODE_F1, kVkF1}, SKeyCase{SDL_SCANCODE_F3, kVkF3},
        SKeyCase{SDL_SCANCODE_F6, kVkF6}, SKeyCase{SDL_SCANCODE_ESCAPE, kVkEscape},
        SKeyCase{SDL_SCANCODE_PAUSE, kVkPause}, SKeyCase{SDL_SCANCODE_SPACE, kVkSpace},
        SKeyCase{SDL_SCANCODE_LEFT, kVkLeft}, SKeyCase{SDL_SCANCODE_RIGHT, kVkRight},
        SKeyCase{SDL_SCANCODE_UP, kVkUp}, SKeyCase{SDL_SCANCODE_DOWN, kVkDown},
        SKeyCase{SDL_SCANCODE_HOME, kVkHome}, SKeyCase{SDL_SCANCODE_END, kVkEnd},
        SKeyCase{SDL_SCANCODE_LCTRL, kVkControl}, SKeyCase{SDL_SCANCODE_RCTRL, kVkControl},
        SKeyCase{SDL_SCANCODE_LSHIFT, kVkShift}, SKeyCase{SDL_SCANCODE_RSHIFT, kVkShift},
        // The menu's keys.
        SKeyCase{SDL_SCANCODE_LALT, kVkMenu}, SKeyCase{SDL_SCANCODE_RALT, kVkMenu},
        SKeyCase{SDL_SCANCODE_F10, kVkF10}, SKeyCase{SDL_SCANCODE_RETURN, kVkReturn},
        SKeyCase{SDL_SCANCODE_KP_ENTER, kVkReturn}, SKeyCase{SDL_SCANCODE_SLASH, kVkOem2},
        SKeyCase{SDL_SCANCODE_MINUS, kVkOemMinus}, SKeyCase{SDL_SCANCODE_EQUALS, kVkOemPlus},
        // Keys the program does not know.
        SKeyCase{SDL_SCANCODE_GRAVE, 0}, SKeyCase{SDL_SCANCODE_KP_PLUS, 0},
        SKeyCase{SDL_SCANCODE_UNKNOWN, 0}));

TEST(SdlKeyState, CtrlAndShiftCountOnEitherSide)
{
    std::vector<Uint8> state(SDL_NUM_SCANCODES, 0);
    EXPECT_FALSE(IsVirtualKeyHeld(state.data(), kVkControl));
    state[SDL_SCANCODE_RCTRL] = 1;
    EXPECT_TRUE(IsVirtualKeyHeld(state.data(), kVkControl));
    EXPECT_FALSE(IsVirtualKeyHeld(state.data(), kVkShift));
    state[SDL_SCANCODE_LSHIFT] = 1;
    EXPECT_TRUE(IsVirtualKeyHeld(state.data(), kVkShift));
    EXPECT_FALSE(IsVirtualKeyHeld(state.data(), kVkLeft));
    state[SDL_SCANCODE_LEFT] = 1;
    EXPECT_TRUE(IsVirtualKeyHeld(state.data(), kVkLeft));
    EXPECT_FALSE(IsVirtualKeyHeld(state.data(), kVkRight));
    EXPECT_FALSE(IsVirtualKeyHeld(nullptr, kVkLeft));
}
