#include "app/FrameStatistics.h"

#include <cstdio>

namespace
{
// The rates are taken over this much wall time, milliseconds.
constexpr double kWindowMilliseconds = 500.0;

std::string Format(const char* format, auto... values)
{
    char line[96];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}
} // namespace

void CFrameStatistics::AddFrame(const SFrameFigures& frame)
{
    m_last = frame;
    m_physics[m_next] = static_cast<float>(frame.physicsMilliseconds);
    m_draw[m_next] = static_cast<float>(frame.drawMilliseconds);
    m_next = (m_next + 1) % kStatisticsHistory;

    m_windowMilliseconds += frame.frameMilliseconds;
    m_windowSimulated += frame.simulatedSeconds;
    m_windowPhysics += frame.physicsMilliseconds;
    m_windowSteps += frame.steps;
    ++m_windowFrames;
    if (m_windowMilliseconds >= kWindowMilliseconds)
    {
        const double seconds = m_windowMilliseconds * 0.001;
        m_framesPerSecond = m_windowFrames / seconds;
        m_simulatedPerWall = m_windowSimulated / seconds;
        m_physicsPerStep = m_windowSteps > 0 ? m_windowPhysics / m_windowSteps : 0.0;
        m_windowMilliseconds = 0.0;
        m_windowSimulated = 0.0;
        m_windowPhysics = 0.0;
        m_windowSteps = 0;
        m_windowFrames = 0;
    }
}

std::vector<std::string> StatisticsLines(const CFrameStatistics& statistics)
{
    const SFrameFigures& last = statistics.Last();
    return {
        Format("%d bodies, %d steps this frame", last.bodies, last.steps),
        Format("contacts: %u plane, %u body", last.planeContacts, last.bodyContacts),
        Format("physics %.2f ms/frame, %.3f ms/step", last.physicsMilliseconds,
               statistics.PhysicsPerStepMilliseconds()),
        Format("drawing %.2f ms/frame, %.1f fps", last.drawMilliseconds,
               statistics.FramesPerSecond()),
        Format("simulated/real time %.2f", statistics.SimulatedPerWall()),
    };
}
