#pragma once
// The person at the demo, for the soak: one frame's worth of input at a
// time (pusher sweeps in both mouse modes at hand speeds, orbit keys,
// re-throws, bursts of added and removed balls, resets and scene changes),
// applied to the world and the host the way the demo's window would apply it.
// Its own random stream, so that a seed gives the same input whatever the
// world draws.

#include <cmath>
#include <cstdint>
#include <memory>

#include "dynamics/Vector.h"
#include "world/World.h"

class CHeadlessPlatform;

// One frame of the demo at 60 frames a second: the mouse velocity is
// smoothed once a frame and the events of a frame land between its steps.
inline constexpr int kFrameSteps = 8;
inline constexpr float kFrameSeconds = kFrameSteps * kSimulationStep;

// The figures of one scene's soak.
struct SSceneFigures
{
    int64_t steps = 0;
    double wallSeconds = 0.0;
    int peakBodies = 0;
    int64_t ballsAdded = 0;
    int64_t bodiesRemoved = 0;
    int64_t throws = 0;
    int64_t resets = 0;
    int64_t hops = 0;
    int64_t pusherContactSteps = 0; // steps in which the pusher touched a body
    float fastestPusher = 0.0f;     // world units per second
    float fastestBody = 0.0f;       // world units per second
};

// A well-mixed 32-bit value from the seed, the scene and a stream number, so
// that each scene of a soak can be replayed on its own.
uint32_t MixSeed(uint32_t seed, int scene, uint32_t stream);

inline float Speed(const CVector& v)
{
    return std::sqrt(v.LengthSquared());
}

class CSoakInput
{
public:
    // seed: the input's own stream; figures: counts of what it did.
    CSoakInput(CWorld& world, CHeadlessPlatform& host, uint32_t seed, SSceneFigures& figures);
    ~CSoakInput();
    CSoakInput(const CSoakInput&) = delete;
    CSoakInput& operator=(const CSoakInput&) = delete;

    void NextFrame();

private:
    class CPerson;
    std::unique_ptr<CPerson> m_person;
};

// Every key and button up, the mouse at rest.
void ReleaseInput(CHeadlessPlatform& host);
