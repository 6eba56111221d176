#include "app/UiScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

float UiScaleOfDpi(float dpi)
{
    constexpr float kOrdinaryDpi = 96.0f;
    if (!(dpi > 0.0f) || !std::isfinite(dpi))
        return 1.0f;
    const float scale = std::round(dpi / kOrdinaryDpi * 4.0f) / 4.0f;
    return std::clamp(scale, 1.0f, 4.0f);
}

float XftDpiOfResources(const char* resources)
{
    if (resources == nullptr)
        return 0.0f;
    constexpr const char* kName = "Xft.dpi:";
    // The name counts only at the start of a line.
    for (const char* line = resources; line != nullptr && *line != '\0';)
    {
        if (std::strncmp(line, kName, std::strlen(kName)) == 0)
        {
            char* end = nullptr;
            const float dpi = std::strtof(line + std::strlen(kName), &end);
            return end != line + std::strlen(kName) && dpi > 0.0f && std::isfinite(dpi) ? dpi
                                                                                        : 0.0f;
        }
        line = std::strchr(line, '\n');
        if (line != nullptr)
            ++line;
    }
    return 0.0f;
}
