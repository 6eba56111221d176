#pragma once
// The speeds of slow motion: the share of real time by which the simulated
// clock advances each frame. The fixed step stays 0.002 s, so a slower speed
// runs fewer of the same steps per frame and every result stays the same.

#include "app/Commands.h"

struct SSpeed
{
    const char* name; // as the caption's note shows it
    float scale;      // simulated seconds per real second
    int command;      // its View > Speed item
};

inline constexpr SSpeed kSpeeds[] = {
    {"1/16", 0.0625f, kCommandSpeed1of16}, {"1/8", 0.125f, kCommandSpeed1of8},
    {"1/4", 0.25f, kCommandSpeed1of4},     {"1/2", 0.5f, kCommandSpeed1of2},
    {"1", 1.0f, kCommandSpeedRealTime},
};
inline constexpr int kSpeedCount = static_cast<int>(sizeof kSpeeds / sizeof kSpeeds[0]);
inline constexpr int kRealTimeSpeed = kSpeedCount - 1;

// One step along the table, held at its ends.
constexpr int SlowerSpeed(int index)
{
    return index > 0 ? index - 1 : 0;
}
constexpr int FasterSpeed(int index)
{
    return index < kRealTimeSpeed ? index + 1 : kRealTimeSpeed;
}
