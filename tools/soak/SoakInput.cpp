#include "tools/soak/SoakInput.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/headless/HeadlessPlatform.h"
#include "dynamics/Body.h"
#include "render/Camera.h"
#include "render/Platform.h"
#include "tools/soak/BodyFault.h"
#include "world/MouseState.h"

namespace
{
// The fastest a hand moves the mouse: window widths (x) or heights (y) per
// second, about a flick across the window in a third of a second.
constexpr float kHandSpeed = 3.0f;
// Held F5 adds balls, held F6 removes bodies, at the key repeat rate of
// about 30 a second: one every other frame.
constexpr int kRepeatFrames = 2;
// The most bodies a burst of F5 builds up to.
constexpr int kMaxBodies = 100;

// Mean seconds between events of each kind.
constexpr float kMeanThrowSeconds = 20.0f;
constexpr float kMeanResetSeconds = 90.0f;
constexpr float kMeanHopSeconds = 120.0f;
constexpr float kMeanBurstSeconds = 30.0f;
constexpr float kMeanSingleKeySeconds = 10.0f;
constexpr float kMeanTargetSeconds = 5.0f;
constexpr float kMeanOrbitSeconds = 8.0f;

// A second generator of the program's kind (s = s * 214013 + 2531011, draws
// of 15 bits) for the input alone. The world's own draws (colours, throws)
// come from dynamics/Random.h; with a stream of its own the input schedule of
// a seed stays the same when the world makes more or fewer draws.
class CInputRandom
{
public:
    explicit CInputRandom(uint32_t seed) : m_state(seed) {}

    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }
    float Unit() { return static_cast<float>(Next()) / 32767.0f; }
    float Between(float low, float high) { return low + (high - low) * Unit(); }
    // 0 to count - 1, for counts far below 32768.
    int Index(int count) { return Next() % count; }
    // Whether an event with this mean interval happens in one frame.
    bool Happens(float meanSeconds) { return Unit() * meanSeconds < kFrameSeconds; }
    // A duration in whole frames, at least one.
    int Frames(float lowSeconds, float highSeconds)
    {
        return std::max(1, static_cast<int>(Between(lowSeconds, highSeconds) / kFrameSeconds));
    }

private:
    uint32_t m_state;
};

// How a sweep holds the mouse: a button, a modifier key, or both with one
// taking precedence, or nothing (the mouse moves, the pusher stays).
enum class EDrag
{
    kNone,
    kLeftButton,
    kControl,
    kRightButton,
    kShift,
    kLeftAndShift,    // slides: the left button wins
    kControlAndRight, // slides: Ctrl wins
};

constexpr EDrag kDrags[] = {EDrag::kNone,           EDrag::kNone,    EDrag::kLeftButton,
                            EDrag::kLeftButton,     EDrag::kControl, EDrag::kRightButton,
                            EDrag::kRightButton,    EDrag::kShift,   EDrag::kLeftAndShift,
                            EDrag::kControlAndRight};

bool Slides(EDrag drag)
{
    return drag == EDrag::kLeftButton || drag == EDrag::kControl || drag == EDrag::kLeftAndShift ||
           drag == EDrag::kControlAndRight;
}

constexpr int kOrbitKeys[] = {kVkLeft, kVkRight, kVkUp, kVkDown, kVkHome, kVkEnd};

} // namespace

// A well-mixed 32-bit value from the seed, the scene and a stream number, so
// that each scene of a soak can be replayed on its own.
uint32_t MixSeed(uint32_t seed, int scene, uint32_t stream)
{
    uint32_t x = seed ^ (0x9E3779B9u * static_cast<uint32_t>(scene + 1)) ^ (stream << 29);
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// The person at the demo: one frame's worth of input at a time, applied to
// the world and the host the way the demo's window would apply it.
class CSoakInput::CPerson
{
public:
    CPerson(CWorld& world, CHeadlessPlatform& host, uint32_t seed, SSceneFigures& figures)
        : m_world(world), m_host(host), m_random(seed), m_figures(figures)
    {
    }

    void NextFrame()
    {
        Sweep();
        Orbit();
        Keys();
    }

private:
    // Mouse sweeps: a drag mode and a hand velocity held for a while, the
    // mouse velocity smoothed once a frame as the application does.
    void Sweep()
    {
        if (m_sweepFrames == 0)
            StartSweep();
        --m_sweepFrames;
        g_mouseState.leftButtonDown =
            m_drag == EDrag::kLeftButton || m_drag == EDrag::kLeftAndShift;
        g_mouseState.rightButtonDown =
            m_drag == EDrag::kRightButton || m_drag == EDrag::kControlAndRight;
        m_host.SetKeyDown(kVkControl,
                          m_drag == EDrag::kControl || m_drag == EDrag::kControlAndRight);
        m_host.SetKeyDown(kVkShift, m_drag == EDrag::kShift || m_drag == EDrag::kLeftAndShift);
        g_mouseState.velocity.x = g_mouseState.velocity.x * 0.5f + m_hand.x * 0.5f;
        g_mouseState.velocity.y = g_mouseState.velocity.y * 0.5f + m_hand.y * 0.5f;
        if (m_world.pusher != nullptr)
            m_figures.fastestPusher =
                std::max(m_figures.fastestPusher, Speed(m_world.pusher->linearVelocity));
    }

    void StartSweep()
    {
        m_drag = kDrags[m_random.Index(static_cast<int>(std::size(kDrags)))];
        const float seconds = m_random.Between(0.1f, 1.5f);
        m_sweepFrames = std::max(1, static_cast<int>(seconds / kFrameSeconds));
        const int kind = m_random.Index(10);
        if (kind < 3 || m_world.pusher == nullptr || m_world.camera == nullptr)
        {
            // A sweep in any direction at any speed a hand makes.
            const float angle = m_random.Between(0.0f, 6.2831855f);
            const float speed = kHandSpeed * m_random.Unit();
            m_hand = CVector(speed * std::cos(angle), speed * std::sin(angle), 0.0f);
            return;
        }
        // A sweep that steers the pusher at a body or at a point of the area
        // (or just beyond the walls), as a person chasing the action does.
        const CVector from = m_world.pusher->Position();
        CVector goal;
        if (kind < 8 && m_world.BodyCount() > 0)
        {
            goal = m_world.Body(m_random.Index(m_world.BodyCount()))->Position();
            if (kind >= 5)
            {
                // Through the body and on: it is shoved ahead, into a wall,
                // another body or the floor.
                CVector through = goal - from;
                const float length = Speed(through);
                if (length > 0.0f)
                    goal = goal + through * (m_random.Between(5.0f, 30.0f) / length);
                if (goal.z < 0.0f)
                    goal.z = 0.0f;
            }
        }
        else
        {
            const float x = m_random.Between(-kWallX - 5.0f, kWallX + 5.0f);
            const float y = m_random.Between(-kWallY - 5.0f, kWallY + 5.0f);
            const float z = m_random.Between(0.0f, 25.0f);
            goal = CVector(x, y, z);
        }
        const CVector v = (goal - from) / seconds;
        const float a = m_world.camera->azimuth;
        const float c = std::cos(a);
        const float s = std::sin(a);
        if (Slides(m_drag) || m_drag == EDrag::kNone)
        {
            // The inverse of the sliding mode's mapping, which is its own
            // inverse up to the factor -200.
            m_hand = CVector(-(s * v.x - c * v.y) / 200.0f, -(c * v.x + s * v.y) / 200.0f, 0.0f);
        }
        else
        {
            // Sideways by x, up and down by y.
            m_hand = CVector((-s * v.x + c * v.y) / 100.0f, v.z / 50.0f, 0.0f);
        }
        const float speed = Speed(m_hand);
        if (speed > kHandSpeed)
            m_hand = m_hand * (kHandSpeed / speed);
    }

    // Now and then one of the orbit keys held for a while.
    void Orbit()
    {
        if (m_orbitFrames > 0)
        {
            if (--m_orbitFrames == 0)
                m_host.SetKeyDown(m_orbitKey, false);
            return;
        }
        if (!m_random.Happens(kMeanOrbitSeconds))
            return;
        m_orbitKey = kOrbitKeys[m_random.Index(static_cast<int>(std::size(kOrbitKeys)))];
        m_orbitFrames = m_random.Frames(0.2f, 2.0f);
        m_host.SetKeyDown(m_orbitKey, true);
    }

    void Keys()
    {
        if (m_random.Happens(kMeanThrowSeconds))
        {
            m_world.ThrowAllBodies();
            ++m_figures.throws;
        }
        if (m_random.Happens(kMeanResetSeconds))
        {
            m_world.BuildScene();
            ++m_figures.resets;
        }
        Hop();
        Burst();
        if (m_random.Happens(kMeanSingleKeySeconds))
            AddBall();
        if (m_random.Happens(kMeanSingleKeySeconds))
            RemoveBody();
        if (m_random.Happens(kMeanTargetSeconds))
        {
            // Digits past the list turn following off; -1 follows the pusher.
            const int index = m_random.Index(14) - 1;
            if (index == 12)
                m_world.follow = m_world.follow != 0 ? 0 : 1;
            else
                m_world.SelectTarget(index);
        }
    }

    // A visit to the next or previous scene and back again.
    void Hop()
    {
        if (m_hopFrames > 0)
        {
            if (--m_hopFrames == 0)
                m_world.ChangeScene(-m_hopDelta);
            return;
        }
        if (!m_random.Happens(kMeanHopSeconds))
            return;
        m_hopDelta = m_random.Index(2) == 0 ? 1 : -1;
        m_hopFrames = m_random.Frames(0.5f, 5.0f);
        m_world.ChangeScene(m_hopDelta);
        ++m_figures.hops;
    }

    // F5 held until the list reaches a count, a while of play, then F6 held
    // until it is down to a smaller one.
    void Burst()
    {
        switch (m_burst)
        {
        case EBurst::kIdle:
            if (m_random.Happens(kMeanBurstSeconds) && m_world.BodyCount() < kMaxBodies)
            {
                m_burstCount =
                    m_world.BodyCount() + 1 + m_random.Index(kMaxBodies - m_world.BodyCount());
                m_burst = EBurst::kAdding;
            }
            break;
        case EBurst::kAdding:
            if (m_world.BodyCount() >= m_burstCount)
            {
                m_burst = EBurst::kPlaying;
                m_burstFrames = m_random.Frames(1.0f, 20.0f);
            }
            else if (++m_repeat % kRepeatFrames == 0)
            {
                AddBall();
            }
            break;
        case EBurst::kPlaying:
            if (--m_burstFrames <= 0)
            {
                m_burstCount = 1 + m_random.Index(std::max(1, m_world.BodyCount() - 1));
                m_burst = EBurst::kRemoving;
            }
            break;
        case EBurst::kRemoving:
            if (m_world.BodyCount() <= m_burstCount)
                m_burst = EBurst::kIdle;
            else if (++m_repeat % kRepeatFrames == 0)
                RemoveBody();
            break;
        }
    }

    void AddBall()
    {
        if (m_world.BodyCount() >= kMaxBodies)
            return;
        m_world.AddBall();
        ++m_figures.ballsAdded;
        m_figures.peakBodies = std::max(m_figures.peakBodies, m_world.BodyCount());
    }

    void RemoveBody()
    {
        const int before = m_world.BodyCount();
        m_world.RemoveLastBody();
        m_figures.bodiesRemoved += before - m_world.BodyCount();
    }

    enum class EBurst
    {
        kIdle,
        kAdding,
        kPlaying,
        kRemoving,
    };

    CWorld& m_world;
    CHeadlessPlatform& m_host;
    CInputRandom m_random;
    SSceneFigures& m_figures;
    EDrag m_drag = EDrag::kNone;
    CVector m_hand; // window widths and heights per second
    int m_sweepFrames = 0;
    int m_orbitKey = kVkLeft;
    int m_orbitFrames = 0;
    int m_hopDelta = 0;
    int m_hopFrames = 0;
    EBurst m_burst = EBurst::kIdle;
    int m_burstCount = 0;
    int m_burstFrames = 0;
    int m_repeat = 0;
};

CSoakInput::CSoakInput(CWorld& world, CHeadlessPlatform& host, uint32_t seed,
                       SSceneFigures& figures)
    : m_person(std::make_unique<CPerson>(world, host, seed, figures))
{
}

CSoakInput::~CSoakInput() = default;

void CSoakInput::NextFrame()
{
    m_person->NextFrame();
}

void ReleaseInput(CHeadlessPlatform& host)
{
    g_mouseState = MouseState{};
    for (const int key : {kVkControl, kVkShift, kVkLeft, kVkRight, kVkUp, kVkDown, kVkHome, kVkEnd})
        host.SetKeyDown(key, false);
}
