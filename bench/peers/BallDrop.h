#pragma once
// The N-ball drop that every peer engine runs for the side-by-side comparison: the same balls,
// box, gravity and step as Clatterbox's thrown balls, the same start grid for every engine, and
// one driver that times the step calls and writes one CSV line per run.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The work, in Clatterbox's units: world units with z up, seconds, plain masses.
inline constexpr double kBallRadius = 3.5;
inline constexpr double kBallMass = 30.0;
inline constexpr double kGravity = 500.0; // downwards, units / s^2
inline constexpr double kStep = 0.002;    // s
inline constexpr double kBoxHalfX = 40.0; // walls at x = -40 and x = 40
inline constexpr double kBoxHalfY = 60.0; // walls at y = -60 and y = 60

// The restitution and friction of one contact, as Clatterbox averages a ball's share (0.7,
// 0.4) with the floor's (0.8, 0.5) and a wall's (0.9, 0.5). Each engine combines its own
// coefficients in its own way, so each sets its per-object values to land on these pairs.
inline constexpr double kBallBallRestitution = 0.7;
inline constexpr double kBallFloorRestitution = 0.75;
inline constexpr double kBallWallRestitution = 0.8;
inline constexpr double kBallBallFriction = 0.4;
inline constexpr double kBallPlaneFriction = 0.45;

// Simulated time whose steps are timed but left out of the median and minimum: the balls are
// still in the air or landing for the first time.
inline constexpr double kSettleSeconds = 0.5;

struct SPoint
{
    double x = 0, y = 0, z = 0;
};

// A small seeded linear congruential generator (Numerical Recipes constants): the start grid's
// jitter must be the same for every engine and every run, and independent of the simulation's
// own generator.
class CLcg
{
public:
    explicit CLcg(uint32_t seed) : m_state(seed) {}

    // Uniform in [0, 1).
    double Unit()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / 16777216.0;
    }

    // Uniform in [-1, 1).
    double Signed() { return 2.0 * Unit() - 1.0; }

private:
    uint32_t m_state;
};

// Start centres for n balls: a grid of 7.5-unit cells over the floor, layer above layer from
// 0.5 above the floor, each centre jittered by up to 0.2 on every axis, so that no two balls
// and no ball and plane overlap. Within a layer the cells are taken in a fixed stride order, so
// a partial layer is spread over the whole floor rather than packed against one wall.
std::vector<SPoint> MakeBallGrid(int n, uint32_t seed);

// Number of balls that are no longer a sane result: a non-finite coordinate, a centre beyond a
// wall or below the floor, or higher than any ball started plus four radii (nothing in the work
// can lift a ball above its start unless the integration has gone wrong).
int CountEscaped(const std::vector<SPoint>& start, const std::vector<SPoint>& now);

// One engine's world holding the balls of one run. Built before the timing starts.
class CPeerWorld
{
public:
    virtual ~CPeerWorld() = default;

    // Advance by one fixed step of kStep.
    virtual void Step() = 0;

    // Current ball centres in the order of the start grid.
    virtual void ReadPositions(std::vector<SPoint>& out) const = 0;

    // After the run: a problem the engine reported that makes the result invalid (for example
    // contacts it had to drop), or empty when there is none.
    virtual std::string Problem() const { return {}; }
};

// What the engine needs beyond the start grid to build its world.
struct SPeerLimits
{
    double maxMemoryBytes = 0; // for engines that preallocate their contact buffers
};

// Builds the world, or returns null and writes to `why` a short reason that goes into the CSV
// status column (the run is then reported with 0 steps).
using PeerFactory = std::function<std::unique_ptr<CPeerWorld>(
    const std::vector<SPoint>& start, const SPeerLimits& limits, std::string& why)>;

// The whole program of one peer: parses the options (--n, --seconds, --max-wall, --seed,
// --max-memory-gb, --header), builds the world, runs and times the steps, checks the end state
// and prints the CSV line. Returns the process exit code: 0 after a run, whatever its status;
// 2 for bad options.
int RunBallDrop(const char* engine, int argc, char** argv, const PeerFactory& factory);
