#pragma once
// Strict parsing of the headless tools' option values: a value is taken only
// when the whole text is a number of the wanted kind within its range, so a
// typing slip is reported instead of being read as 0.

#include <cstdint>
#include <string>

bool ParseInt64(const std::string& text, int64_t minimum, int64_t maximum, int64_t& value);
// Whether text is written as a plain decimal number: digits, a point, an
// exponent and signs only. The C library also reads hexadecimal ("0x1p4"),
// "inf" and "nan", which no option means.
bool IsDecimalNumber(const std::string& text);

// The shortest plain text of a number that reads back as the same double.
std::string ShortestText(double value);
// A finite single-precision number written in decimal.
bool ParseFloat(const std::string& text, float& value);
// "VX,VY,VZ:N": a velocity in world units per second held for N steps.
bool ParsePushSegment(const std::string& text, float velocity[3], int64_t& steps);
// "WxH": a picture size in pixels, each side from 1 to maximum.
bool ParseSize(const std::string& text, int maximum, int& width, int& height);
