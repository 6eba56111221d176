#pragma once
// The middle mouse button on a body: a click follows the body, a drag holds
// it on a soft spring towards the point under the pointer, in the plane that
// faces the camera through the picked point; letting go ends the pull at once.

#include <optional>

#include "world/BodyPick.h"

class CWorld;

// The pointer must move this far with the button down for a drag, pixels.
inline constexpr int kDragPixels = 4;

class CMouseGrab
{
public:
    // x, y: pixels in the 3D area of width x height, y downwards.
    void Press(CWorld& world, int x, int y, int width, int height);
    void Move(CWorld& world, int x, int y, int width, int height);
    // The index of the body a click chose to follow, or -1 (nothing was under
    // the pointer, or it was a drag).
    int Release(CWorld& world);

    bool Held() const { return m_down; }

private:
    void Aim(CWorld& world, int x, int y, int width, int height) const;

    bool m_down = false;
    bool m_dragging = false;
    int m_pressX = 0;
    int m_pressY = 0;
    std::optional<SBodyPick> m_pick;
};
