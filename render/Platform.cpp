#include "render/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace
{
IPlatform* s_platform = nullptr;
}

void SetPlatform(IPlatform* platform) { s_platform = platform; }

IPlatform& Platform()
{
    if (s_platform == nullptr)
    {
        std::fputs("Clatterbox: no platform layer installed\n", stderr);
        std::abort();
    }
    return *s_platform;
}
