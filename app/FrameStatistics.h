#pragma once
// The figures of the statistics overlay, gathered by the frame loop from the
// world and its own clock: what the last frame did, rates over the last half
// second, and the physics and drawing times of the last few hundred frames.
// Nothing here measures on its own; the loop hands in what it already knows.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What one frame did. Times in milliseconds of wall time.
struct SFrameFigures
{
    int bodies = 0;
    uint32_t planeContacts = 0; // of the last step
    uint32_t bodyContacts = 0;  // of the last step, the pusher's included
    int steps = 0;              // fixed steps run in the frame
    double physicsMilliseconds = 0.0;
    double drawMilliseconds = 0.0;  // drawing, the menu and the swap
    double frameMilliseconds = 0.0; // from the start of the last frame to this one's
    double simulatedSeconds = 0.0;  // how far the simulated clock advanced
};

// Frames kept for the plot: five seconds at 60 frames per second.
inline constexpr int kStatisticsHistory = 300;

class CFrameStatistics
{
public:
    void AddFrame(const SFrameFigures& frame);

    const SFrameFigures& Last() const { return m_last; }
    // Over the last complete window of half a second; 0 before the first.
    double FramesPerSecond() const { return m_framesPerSecond; }
    // Simulated seconds per wall-clock second: 1 when the simulation keeps up
    // with real time, the speed in slow motion, less when it falls behind.
    double SimulatedPerWall() const { return m_simulatedPerWall; }
    // Physics time of the window's frames divided by their steps; 0 without steps.
    double PhysicsPerStepMilliseconds() const { return m_physicsPerStep; }

    // The plot's values, oldest first from HistoryStart(), wrapping around.
    const std::array<float, kStatisticsHistory>& PhysicsHistory() const { return m_physics; }
    const std::array<float, kStatisticsHistory>& DrawHistory() const { return m_draw; }
    int HistoryStart() const { return m_next; }

private:
    SFrameFigures m_last;
    // The window being summed.
    double m_windowMilliseconds = 0.0;
    double m_windowSimulated = 0.0;
    double m_windowPhysics = 0.0;
    int m_windowSteps = 0;
    int m_windowFrames = 0;
    // The last complete window's rates.
    double m_framesPerSecond = 0.0;
    double m_simulatedPerWall = 0.0;
    double m_physicsPerStep = 0.0;
    std::array<float, kStatisticsHistory> m_physics{};
    std::array<float, kStatisticsHistory> m_draw{};
    int m_next = 0;
};

// The panel's lines of text, in order.
std::vector<std::string> StatisticsLines(const CFrameStatistics& statistics);
