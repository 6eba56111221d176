#include "world/MouseState.h"

MouseState g_mouseState;
