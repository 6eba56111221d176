#pragma once
// The rest check of clatterbox-sim: a scene left alone, unpushed, from a
// settling time on; how far any body's centre moves and how far any body
// turns from where it was at the settling time, at the worst step.
//
//   clatterbox-sim --rest SECONDS --seed S [--scene N] [--contacts classic|stable]

#include <cstdint>
#include <cstdio>

#include "dynamics/ContactModel.h"

class CWorld;

struct SRestResult
{
    // The largest of each over every body and step, with the body it was
    // seen on (a list index).
    double move = 0.0;
    int moveBody = -1;
    double turn = 0.0; // radians
    int turnBody = -1;
    // In "Spinning Tops": the toys' largest tilt from upright at the settling
    // time, radians; the tops are left out of move and turn. -1 elsewhere.
    double toyTilt = -1.0;
};

struct SRestOptions
{
    int scene = 0;
    uint32_t seed = 1;
    EContactModel contacts = EContactModel::Stable;
    double settleSeconds = 3.0; // 10 for the tops' scene
    double endSeconds = 120.0;
};

// Builds the scene in a fresh world and measures. The caller provides the
// platform and GL context a world needs.
SRestResult MeasureRest(const SRestOptions& options);

// True when the command line asks for a rest check (it holds --rest).
bool IsRestCommand(int argc, char** argv);
// Parses, runs every asked scene for seeds 1 to S (or the one seed S with
// --one-seed), prints one line each; exit status 0, or 2 on a wrong command
// line.
int RestMain(int argc, char** argv);
