// The menu's scale from the display's density, and the density a desktop
// states in its X resources.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/UiScale.h"

namespace
{
struct SScaleCase
{
    const char* name;
    float dpi;
    float scale;
};

std::ostream& operator<<(std::ostream& out, const SScaleCase& c)
{
    return out << c.name;
}

class CUiScaleTest : public ::testing::TestWithParam<SScaleCase>
{
};

struct SResourceCase
{
    const char* name;
    const char* resources;
    float dpi;
};

std::ostream& operator<<(std::ostream& out, const SResourceCase& c)
{
    return out << c.name;
}

class CXftDpiTest : public ::testing::TestWithParam<SResourceCase>
{
};
} // namespace

TEST_P(CUiScaleTest, FollowsTheDensityInQuarterSteps)
{
    EXPECT_EQ(UiScaleOfDpi(GetParam().dpi), GetParam().scale);
}

INSTANTIATE_TEST_SUITE_P(
    Densities, CUiScaleTest,
    ::testing::Values(SScaleCase{"Unknown", 0.0f, 1.0f}, SScaleCase{"Negative", -96.0f, 1.0f},
                      SScaleCase{"NotANumber", std::numeric_limits<float>::quiet_NaN(), 1.0f},
                      SScaleCase{"Infinite", std::numeric_limits<float>::infinity(), 1.0f},
                      SScaleCase{"LowDensity", 72.0f, 1.0f}, SScaleCase{"Ordinary96", 96.0f, 1.0f},
                      SScaleCase{"Xvfb100", 100.0f, 1.0f}, SScaleCase{"Desktop120", 120.0f, 1.25f},
                      SScaleCase{"Desktop144", 144.0f, 1.5f},
                      SScaleCase{"Uhd27Inch", 163.0f, 1.75f}, SScaleCase{"Double192", 192.0f, 2.0f},
                      SScaleCase{"Huge1000", 1000.0f, 4.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(CXftDpiTest, ReadsTheSettingAtTheStartOfALine)
{
    EXPECT_EQ(XftDpiOfResources(GetParam().resources), GetParam().dpi);
}

INSTANTIATE_TEST_SUITE_P(
    Resources, CXftDpiTest,
    ::testing::Values(
        SResourceCase{"None", nullptr, 0.0f}, SResourceCase{"Empty", "", 0.0f},
        SResourceCase{"Alone", "Xft.dpi:\t192\n", 192.0f},
        SResourceCase{"AmongOthers", "Xft.antialias:\t1\nXft.dpi:\t144\nXcursor.size:\t24\n",
                      144.0f},
        SResourceCase{"LastLineWithoutNewline", "Xft.hinting:\t1\nXft.dpi: 120", 120.0f},
        SResourceCase{"NotAtALineStart", "Xcursor.theme: Xft.dpi: 300\n", 0.0f},
        SResourceCase{"NotANumber", "Xft.dpi:\tlarge\n", 0.0f},
        SResourceCase{"Zero", "Xft.dpi:\t0\n", 0.0f},
        SResourceCase{"Negative", "Xft.dpi:\t-96\n", 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });
