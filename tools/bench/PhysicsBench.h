#pragma once
// Timing of CWorld::Step: each built-in scene over several fresh runs under a
// scripted pusher strike, and N balls thrown in with CWorld::AddBall on top of
// scene 0 once they have landed. Every step is timed on its own with the
// steady clock; a headless rendering context must be current, since bodies
// compile their display lists as they are prepared.

#include <cstdint>
#include <cstdio>

#include "tools/bench/Statistics.h"

struct SPhysicsSettings
{
    int runs = 5;               // fresh runs per scene
    double sceneSeconds = 3.0;  // simulated seconds per scene run
    double settleSeconds = 2.0; // simulated seconds the thrown balls get to land, untimed
    double ballSeconds = 1.0;   // simulated seconds timed after the landing
    uint32_t seed = 1;          // run r of a scene uses seed + r
    bool allPairs = false;      // the world's all-pairs loop instead of the broad phase
    std::FILE* trace = nullptr; // every ball step's time and contacts, or null
};

// Steps at the start of every scene run that are timed but left out: the
// first contacts and cold caches.
inline constexpr int64_t kDroppedSteps = 50;
// The pusher drives forwards at (0, 150, 0) world units per second for this
// many steps, then stops: from its waiting place at y = -50 it runs through
// the cue ball's place at y = -30 into the rack.
inline constexpr int64_t kStrikeSteps = 200;

struct SStepTiming
{
    STimingSummary micros;        // per CWorld::Step
    double contactsPerStep = 0.0; // mean over the timed steps
    int bodies = 0;               // in the list, pusher not counted
};

SStepTiming TimeScene(int scene, const SPhysicsSettings& settings);
SStepTiming TimeThrownBalls(int balls, const SPhysicsSettings& settings);
