#pragma once
// What the instruments cost: the statistics panel's bookkeeping against a
// step, and the contact points' recording and drawing against the same world
// without them, each pair timed side by side in one run. A headless rendering
// context, its projection and start state and the textures must be current.

#include <cstdint>
#include <cstdio>

// Prints the tables; frames: timed frames per case.
void PrintInstrumentCosts(std::FILE* out, bool csv, int frames, uint32_t seed);
