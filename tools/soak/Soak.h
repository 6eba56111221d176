#pragma once
// The soak of clatterbox-sim: every scene in turn for a stretch of simulated
// time under the random input a person could give the demo (pusher sweeps in
// both mouse modes at hand speeds, orbit keys, re-throws, bursts of added and
// removed balls, resets and scene changes), with every body checked after
// every step. A failure names the scene, the step, the body and the command
// that replays it.
//
//   clatterbox-sim --soak SECONDS --seed S [--scene N] [--contacts classic|stable]

#include <cstdint>
#include <cstdio>
#include <string>

#include "dynamics/ContactModel.h"
#include "tools/soak/BodyFault.h"

struct SSoakOptions
{
    double secondsPerScene = 0.0; // simulated seconds of each scene
    uint32_t seed = 0;
    int scene = -1; // one scene only; -1 for all of them in order
    EContactModel contacts = EContactModel::Stable;
};

// True when the command line asks for a soak (it holds --soak).
bool IsSoakCommand(int argc, char** argv);
// The soak's own command line: parses it, runs, returns the exit status
// (0 passed, 1 a fault found, 2 a wrong command line).
int SoakMain(int argc, char** argv);
// Runs the soak; figures to out, a failure to err. 0 passed, 1 a fault.
int RunSoak(const SSoakOptions& options, std::FILE* out, std::FILE* err);
