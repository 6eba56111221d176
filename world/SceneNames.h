#pragma once
// The names of the built-in scenes by scene index, as the caption shows them.

inline constexpr int kSceneCount = 11;

inline constexpr const char* g_sceneNames[kSceneCount] = {
    "Billiards 1", "Rings 1",         "Bowling", "Rail and Balls", "Spinning Tops", "Billiards 2",
    "A Disk on Balls", "Tower", "Billiards 3", "Dominoes",       "Rings 2",
};
