#pragma once
// Timing of CWorld::Step: each built-in scene over several fresh runs under a
// scripted pusher strike, and N balls thrown in with CWorld::AddBall on top of
// scene 0 once they have landed. Every step is timed on its own with the
// steady clock; a headless rendering context must be current, since bodies
// compile their display lists as they are prepared.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "dynamics/ContactModel.h"
#include "tools/bench/Statistics.h"

struct SPhysicsSettings
{
    int runs = 5;               // fresh runs per scene
    double sceneSeconds = 3.0;  // simulated seconds per scene run
    double settleSeconds = 2.0; // simulated seconds the thrown balls get to land, untimed
    double ballSeconds = 1.0;   // simulated seconds timed after the landing
    uint32_t seed = 1;          // run r of a scene uses seed + r
    bool allPairs = false;      // the world's all-pairs loop instead of the broad phase
    EContactModel contacts = EContactModel::Stable;
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

// The same under several contact models side by side, one timing per model
// in their order (settings.contacts is not read): the scene runs of the
// models alternate, and the landed balls of every model are timed in
// alternating stretches of steps, so that a change in the machine's load
// falls on every model alike. Without a trace; one model gives what the
// functions above give.
std::vector<SStepTiming> TimeSceneModels(int scene, const SPhysicsSettings& settings,
                                         const std::vector<EContactModel>& models);
std::vector<SStepTiming> TimeThrownBallsModels(int balls, const SPhysicsSettings& settings,
                                               const std::vector<EContactModel>& models);

// The pair search alone, over the bodies of the thrown-ball world before each
// of its steps: the grid searched afresh, a sort-and-sweep along x kept in
// order from step to step, and the grid with its kept pairs as the step calls
// it. Microseconds per call.
struct SPairSearchTiming
{
    STimingSummary grid;
    STimingSummary sweep;
    STimingSummary kept;
    double pairsPerStep = 0.0; // mean over the timed steps
    bool same = true;          // the three lists were equal at every timed step
};

struct SPairSearchTimings
{
    int bodies = 0;
    SPairSearchTiming flight; // the first half second after the throw
    SPairSearchTiming landed; // as long as the ball table times, after its landing
};

// Steps the balls in flight are timed for.
inline constexpr int64_t kFlightSteps = 250;

SPairSearchTimings TimePairSearch(int balls, const SPhysicsSettings& settings);
