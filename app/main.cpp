// The demo: the application on an SDL2 window.

#include "app/Application.h"
#include "app/sdl/QuitSignals.h"
#include "app/sdl/SdlHost.h"

int main()
{
    InstallQuitSignals();
    CSdlHost host;
    return ApplicationMain(host);
}
