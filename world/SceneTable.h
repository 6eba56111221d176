#pragma once
// The built-in scenes, one row each: the name the caption shows and the
// builder that fills an emptied world with the scene's bodies and its pusher.
// The row's place is the scene index; the table's size is the scene count.
// Adding a scene is one builder and one row here (and its name in EScene).

#include <array>
#include <string>

#include "world/World.h"

struct SSceneEntry
{
    const char* name;
    void (CWorld::*build)();
};

inline constexpr SSceneEntry kSceneTable[] = {
    {"Billiards 1", &CWorld::BuildBilliards1},
    {"Rings 1", &CWorld::BuildRings1},
    {"Bowling", &CWorld::BuildBowling},
    {"Rail and Balls", &CWorld::BuildRailAndBalls},
    {"Spinning Tops", &CWorld::BuildSpinningTops},
    {"Billiards 2", &CWorld::BuildBilliards2},
    {"A Disk on Balls", &CWorld::BuildDiskOnBalls},
    {"Tower", &CWorld::BuildTower},
    {"Billiards 3", &CWorld::BuildBilliards3},
    {"Dominoes", &CWorld::BuildDominoes},
    {"Rings 2", &CWorld::BuildRings2},
};

inline constexpr int kSceneCount = static_cast<int>(std::size(kSceneTable));

// The scenes by name, for code and tests that pick one.
enum EScene : int
{
    kBilliards1,
    kRings1,
    kBowling,
    kRailAndBalls,
    kSpinningTops,
    kBilliards2,
    kDiskOnBalls,
    kTower,
    kBilliards3,
    kDominoes,
    kRings2,
};
static_assert(kRings2 + 1 == kSceneCount, "every scene of the table has its name in EScene");

// The names alone, by scene index, as the caption shows them.
inline constexpr std::array<const char*, kSceneCount> g_sceneNames = []
{
    std::array<const char*, kSceneCount> names{};
    for (int i = 0; i < kSceneCount; ++i)
        names[i] = kSceneTable[i].name;
    return names;
}();

// Any index, negative ones included, onto the table: one past the last is
// the first again.
constexpr int WrapSceneIndex(int index)
{
    return (index % kSceneCount + kSceneCount) % kSceneCount;
}

// "0 to 10", for the tools' messages about a scene index.
inline std::string SceneIndexRange()
{
    return "0 to " + std::to_string(kSceneCount - 1);
}
