#include "app/sdl/DisplayDpi.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstring>

#include "app/UiScale.h"

namespace
{
// Xft.dpi, else the screen's pixels over its millimetres; 0 without X.
void X11Dpi(float& xftDpi, float& screenDpi)
{
    xftDpi = 0.0f;
    screenDpi = 0.0f;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return;
    xftDpi = XftDpiOfResources(XResourceManagerString(display));
    const int screen = DefaultScreen(display);
    const int millimetres = DisplayHeightMM(display, screen);
    if (millimetres > 0)
        screenDpi = static_cast<float>(DisplayHeight(display, screen)) * 25.4f /
                    static_cast<float>(millimetres);
    XCloseDisplay(display);
}
} // namespace

float DisplayDpi()
{
    float xftDpi = 0.0f;
    float screenDpi = 0.0f;
    X11Dpi(xftDpi, screenDpi);
    if (xftDpi > 0.0f)
        return xftDpi;
    float vertical = 0.0f;
    if (SDL_GetDisplayDPI(0, nullptr, nullptr, &vertical) == 0 && vertical > 0.0f)
        return vertical;
    return screenDpi;
}
