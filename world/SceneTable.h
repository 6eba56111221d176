#pragma once
// The built-in scenes by scene index: each name with the builder that fills an
// emptied world with that scene.

#include "world/SceneNames.h"
#include "world/World.h"

struct SSceneEntry
{
    const char* name;
    void (CWorld::*build)();
};

extern const SSceneEntry g_sceneTable[kSceneCount];
