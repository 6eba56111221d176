#include "tools/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
// The text split at the first separator; false when it is missing.
bool Split(const std::string& text, char separator, std::string& head, std::string& tail)
{
    const size_t at = text.find(separator);
    if (at == std::string::npos)
    {
        return false;
    }
    head = text.substr(0, at);
    tail = text.substr(at + 1);
    return true;
}
} // namespace

bool ParseInt64(const std::string& text, int64_t minimum, int64_t maximum, int64_t& value)
{
    // strtoll would accept leading blanks and a sign before them.
    if (text.empty() || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9')))
    {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || parsed < minimum || parsed > maximum)
    {
        return false;
    }
    value = parsed;
    return true;
}

bool IsDecimalNumber(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789.eE+-") == std::string::npos;
}

bool ParseFloat(const std::string& text, float& value)
{
    if (!IsDecimalNumber(text))
    {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const float parsed = std::strtof(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(parsed))
    {
        return false;
    }
    value = parsed;
    return true;
}

bool ParsePushSegment(const std::string& text, float velocity[3], int64_t& steps)
{
    std::string vector;
    std::string count;
    std::string x;
    std::string yz;
    std::string y;
    std::string z;
    float parsed[3] = {};
    if (!Split(text, ':', vector, count) || !Split(vector, ',', x, yz) || !Split(yz, ',', y, z) ||
        !ParseFloat(x, parsed[0]) || !ParseFloat(y, parsed[1]) || !ParseFloat(z, parsed[2]) ||
        !ParseInt64(count, 0, INT64_MAX, steps))
    {
        return false;
    }
    for (int i = 0; i < 3; ++i)
    {
        velocity[i] = parsed[i];
    }
    return true;
}

bool ParseSize(const std::string& text, int maximum, int& width, int& height)
{
    std::string w;
    std::string h;
    int64_t parsedWidth = 0;
    int64_t parsedHeight = 0;
    if (!Split(text, 'x', w, h) || !ParseInt64(w, 1, maximum, parsedWidth) ||
        !ParseInt64(h, 1, maximum, parsedHeight))
    {
        return false;
    }
    width = static_cast<int>(parsedWidth);
    height = static_cast<int>(parsedHeight);
    return true;
}

std::string ShortestText(double value)
{
    char text[64];
    for (int decimals = 0; decimals <= 9; ++decimals)
    {
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (std::strtod(text, nullptr) == value)
            return text;
    }
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}
