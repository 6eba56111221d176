#pragma once
// The built-in scenes by scene index: the name the caption shows and the
// builder that fills an emptied world with the scene's bodies and its pusher.

#include "world/SceneNames.h"
#include "world/World.h"

struct SSceneEntry
{
    const char* name;
    void (CWorld::*build)();
};

extern const SSceneEntry g_sceneTable[kSceneCount];
