// The demo: the application on an SDL2 window.

#include "app/Application.h"
#include "app/sdl/SdlHost.h"

int main()
{
    CSdlHost host;
    return ApplicationMain(host);
}
