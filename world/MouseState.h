#pragma once
// The mouse as the application records it and the world reads it: position in
// client widths (x) and heights (y, growing upwards), its smoothed velocity per
// second, and the two buttons. z is never written.

#include "dynamics/Vector.h"

struct MouseState
{
    CVector position;
    CVector previousPosition;
    CVector velocity;
    bool leftButtonDown = false;
    bool rightButtonDown = false;
};

extern MouseState g_mouseState;
