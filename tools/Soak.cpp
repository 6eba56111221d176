#include "tools/Soak.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "render/Camera.h"
#include "render/Platform.h"
#include "tools/CommandLine.h"
#include "world/MouseState.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
constexpr const char* kUsage =
    "usage: clatterbox-sim --soak SECONDS --seed S [--scene N] [--contacts classic|stable]\n";

// Ten hours of simulated time a scene: all eleven take hours, not days.
constexpr double kMaxSecondsPerScene = 36000.0;

// The playing area: walls at x = +-40 and y = +-60, the floor at z = 0.
constexpr float kWallX = 40.0f;
constexpr float kWallY = 60.0f;

// One frame of the demo at 60 frames a second: the mouse velocity is
// smoothed once a frame and the events of a frame land between its steps.
constexpr int kFrameSteps = 8;
constexpr float kFrameSeconds = kFrameSteps * kSimulationStep;
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

bool Finite(const CVector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Finite(const CMatrix4& m)
{
    return std::all_of(std::begin(m.m), std::end(m.m), [](float f) { return std::isfinite(f); });
}

float Speed(const CVector& v)
{
    return std::sqrt(v.LengthSquared());
}

std::string Text(const CVector& v)
{
    char text[96];
    std::snprintf(text, sizeof text, "(%.9g, %.9g, %.9g)", v.x, v.y, v.z);
    return text;
}

std::string Format(const char* format, double a, double b)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// The first non-finite state of a body, or an empty text.
std::string NonFiniteState(const CInertialBody& body)
{
    if (!Finite(body.matrix))
        return "its placement matrix is not finite (position " + Text(body.Position()) + ")";
    if (!Finite(body.inverse))
        return "its inverse matrix is not finite";
    const struct
    {
        const char* name;
        const CVector& value;
    } vectors[] = {
        {"linear velocity", body.linearVelocity},
        {"angular velocity", body.angularVelocity},
        {"world angular velocity", body.worldAngularVelocity},
        {"force", body.force},
        {"torque", body.torque},
    };
    for (const auto& entry : vectors)
        if (!Finite(entry.value))
            return std::string("its ") + entry.name + " is not finite: " + Text(entry.value);
    return {};
}

// How far the centre lies outside the floor or a wall beyond the bounding
// radius, or an empty text.
std::string Escape(const CInertialBody& body)
{
    const CVector p = body.Position();
    const float r = body.boundingRadius;
    if (p.z < -r)
        return Format("its centre is %.9g below the floor, more than its bounding radius %.9g",
                      -p.z, r);
    if (p.x < -kWallX - r)
        return Format("its centre is %.9g beyond the wall x = -40, more than its bounding radius "
                      "%.9g",
                      -kWallX - p.x, r);
    if (p.x > kWallX + r)
        return Format("its centre is %.9g beyond the wall x = 40, more than its bounding radius "
                      "%.9g",
                      p.x - kWallX, r);
    if (p.y < -kWallY - r)
        return Format("its centre is %.9g beyond the wall y = -60, more than its bounding radius "
                      "%.9g",
                      -kWallY - p.y, r);
    if (p.y > kWallY + r)
        return Format("its centre is %.9g beyond the wall y = 60, more than its bounding radius "
                      "%.9g",
                      p.y - kWallY, r);
    return {};
}

// The shortest plain text of a number that reads back as the same double.
std::string ShortestText(double value)
{
    char text[64];
    for (int decimals = 0; decimals <= 9; ++decimals)
    {
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (std::strtod(text, nullptr) == value)
            return text;
    }
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

bool ParseSeconds(const std::string& text, double& value)
{
    if (!IsDecimalNumber(text) || !(text[0] == '.' || (text[0] >= '0' && text[0] <= '9')))
        return false;
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !(parsed > 0.0) ||
        parsed > kMaxSecondsPerScene)
        return false;
    value = parsed;
    return true;
}

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

// The person at the demo: one frame's worth of input at a time, applied to
// the world and the host the way the demo's window would apply it.
class CSoakInput
{
public:
    CSoakInput(CWorld& world, CHeadlessPlatform& host, uint32_t seed, SSceneFigures& figures)
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

// Every key and button up, the mouse at rest.
void ReleaseInput(CHeadlessPlatform& host)
{
    g_mouseState = MouseState{};
    for (const int key : {kVkControl, kVkShift, kVkLeft, kVkRight, kVkUp, kVkDown, kVkHome, kVkEnd})
        host.SetKeyDown(key, false);
}

struct SFailure
{
    int scene = 0;
    int64_t step = 0;
    SBodyFault fault;
};

// One scene's soak from a fresh start that depends on the seed and the
// scene alone, so that `--scene` replays it exactly. False on a fault.
bool SoakScene(CWorld& world, CHeadlessPlatform& host, const SSoakOptions& options, int scene,
               SSceneFigures& figures, SFailure& failure)
{
    ReleaseInput(host);
    world.camera->Initialize();
    world.follow = 0;
    SeedRandom(MixSeed(options.seed, scene, 0));
    if (world.sceneIndex == scene)
        world.BuildScene();
    else
        world.ChangeScene(scene - world.sceneIndex);
    figures.peakBodies = world.BodyCount();

    const int64_t steps = static_cast<int64_t>(
        std::ceil(options.secondsPerScene / static_cast<double>(kSimulationStep) - 1e-6));
    CSoakInput input(world, host, MixSeed(options.seed, scene, 1), figures);
    const auto start = std::chrono::steady_clock::now();
    bool passed = true;
    while (passed && figures.steps < steps)
    {
        input.NextFrame();
        for (int k = 0; k < kFrameSteps && figures.steps < steps; ++k)
        {
            // One step per call: the frame update's own path from the mouse
            // and the keys to the pusher, checked after every step.
            world.Update(kSimulationStep, false);
            ++figures.steps;
            if (world.pusher != nullptr && world.pusher->contactCount > 0)
                ++figures.pusherContactSteps;
            if (FindBodyFault(world, failure.fault))
            {
                failure.scene = world.sceneIndex;
                failure.step = figures.steps;
                passed = false;
                break;
            }
        }
        for (int i = 0; i < world.BodyCount(); ++i)
            figures.fastestBody =
                std::max(figures.fastestBody, Speed(world.Body(i)->linearVelocity));
    }
    figures.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return passed;
}

void PrintFigures(std::FILE* out, int scene, const SSceneFigures& f)
{
    std::fprintf(out,
                 "scene %d \"%s\": %.3f s simulated, %lld steps, %.1f s wall; up to %d bodies, "
                 "%lld balls added, %lld bodies removed, %lld throws, %lld resets, %lld scene "
                 "visits; pusher touching in %.1f%% of the steps, up to %.0f units/s; bodies up to "
                 "%.0f units/s\n",
                 scene, g_sceneNames[scene],
                 static_cast<double>(f.steps) * static_cast<double>(kSimulationStep),
                 static_cast<long long>(f.steps), f.wallSeconds, f.peakBodies,
                 static_cast<long long>(f.ballsAdded), static_cast<long long>(f.bodiesRemoved),
                 static_cast<long long>(f.throws), static_cast<long long>(f.resets),
                 static_cast<long long>(f.hops),
                 f.steps > 0 ? 100.0 * static_cast<double>(f.pusherContactSteps) /
                                   static_cast<double>(f.steps)
                             : 0.0,
                 f.fastestPusher, f.fastestBody);
    std::fflush(out);
}
} // namespace

bool FindBodyFault(const CWorld& world, SBodyFault& fault)
{
    for (int i = 0; i < world.BodyCount(); ++i)
    {
        const CInertialBody& body = *world.Body(i);
        std::string what = NonFiniteState(body);
        if (what.empty())
            what = Escape(body);
        if (!what.empty())
        {
            fault.body = i;
            fault.what = what;
            return true;
        }
    }
    if (world.pusher != nullptr &&
        !(Finite(world.pusher->matrix) && Finite(world.pusher->linearVelocity)))
    {
        fault.body = -1;
        fault.what = "its position or velocity is not finite: " + Text(world.pusher->Position()) +
                     ", " + Text(world.pusher->linearVelocity);
        return true;
    }
    const CCamera* camera = world.camera.get();
    if (camera != nullptr &&
        !(std::isfinite(camera->azimuth) && Finite(camera->eye) && Finite(camera->centre)))
    {
        fault.body = -2;
        fault.what = "its eye, look-at point or azimuth is not finite: " + Text(camera->eye) +
                     ", " + Text(camera->centre);
        return true;
    }
    return false;
}

namespace
{
// The soak on a host that is already the process-wide platform.
int RunSoakOn(CHeadlessPlatform& host, const SSoakOptions& options, std::FILE* out, std::FILE* err)
{
    // Bodies compile their display lists as they are prepared; the world goes
    // before the context does.
    CHeadlessGL gl(16, 16);
    CWorld world;
    world.contactModel = options.contacts;
    world.Initialize();

    const int first = options.scene >= 0 ? options.scene : 0;
    const int last = options.scene >= 0 ? options.scene : kSceneCount - 1;
    const std::string seconds = ShortestText(options.secondsPerScene);
    std::fprintf(out, "soak: seed %u, %s s of simulated time per scene, %s contacts\n",
                 options.seed, seconds.c_str(), ContactModelName(options.contacts));
    SSceneFigures total;
    for (int scene = first; scene <= last; ++scene)
    {
        SSceneFigures figures;
        SFailure failure;
        const bool passed = SoakScene(world, host, options, scene, figures, failure);
        PrintFigures(out, scene, figures);
        total.steps += figures.steps;
        total.wallSeconds += figures.wallSeconds;
        if (!passed)
        {
            const std::string who = failure.fault.body >= 0
                                        ? "body " + std::to_string(failure.fault.body)
                                    : failure.fault.body == -1 ? std::string("the pusher")
                                                               : std::string("the camera");
            std::fprintf(err,
                         "clatterbox-sim: soak of scene %d \"%s\" failed at its step %lld, in "
                         "scene %d \"%s\", seed %u: %s: %s\n"
                         "replay: clatterbox-sim --soak %s --seed %u --scene %d --contacts %s\n",
                         scene, g_sceneNames[scene], static_cast<long long>(failure.step),
                         failure.scene, g_sceneNames[failure.scene], options.seed, who.c_str(),
                         failure.fault.what.c_str(), seconds.c_str(), options.seed, scene,
                         ContactModelName(options.contacts));
            return 1;
        }
    }
    std::fprintf(out, "soak passed: %d scenes, %lld steps, %.3f s simulated, %.1f s wall\n",
                 last - first + 1, static_cast<long long>(total.steps),
                 static_cast<double>(total.steps) * static_cast<double>(kSimulationStep),
                 total.wallSeconds);
    std::fflush(out);
    return 0;
}
} // namespace

int RunSoak(const SSoakOptions& options, std::FILE* out, std::FILE* err)
{
    CHeadlessPlatform host;
    SetPlatform(&host);
    int status = 1;
    try
    {
        status = RunSoakOn(host, options, out, err);
    }
    catch (...)
    {
        SetPlatform(nullptr);
        throw;
    }
    SetPlatform(nullptr);
    return status;
}

bool IsSoakCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--soak")
            return true;
    return false;
}

int SoakMain(int argc, char** argv)
{
    SSoakOptions options;
    bool haveSeconds = false;
    bool haveSeed = false;
    bool haveContacts = false;
    std::string problem;
    for (int i = 1; i < argc && problem.empty(); ++i)
    {
        const std::string name = argv[i];
        if (name != "--soak" && name != "--seed" && name != "--scene" && name != "--contacts")
        {
            problem = "unknown argument '" + name + "' with --soak";
            break;
        }
        if (i + 1 >= argc)
        {
            problem = name + " needs a value";
            break;
        }
        const std::string value = argv[++i];
        int64_t number = 0;
        if (name == "--soak")
        {
            if (haveSeconds)
                problem = "--soak given twice";
            else if (!ParseSeconds(value, options.secondsPerScene))
                problem = "--soak must be a number of seconds above 0 and at most " +
                          ShortestText(kMaxSecondsPerScene) + ", not '" + value + "'";
            haveSeconds = true;
        }
        else if (name == "--seed")
        {
            if (haveSeed)
                problem = "--seed given twice";
            else if (!ParseInt64(value, 0, UINT32_MAX, number))
                problem = "--seed must be an integer from 0 to 4294967295, not '" + value + "'";
            options.seed = static_cast<uint32_t>(number);
            haveSeed = true;
        }
        else if (name == "--contacts")
        {
            if (haveContacts)
                problem = "--contacts given twice";
            else if (!ParseContactModel(value, options.contacts))
                problem = "--contacts must be classic or stable, not '" + value + "'";
            haveContacts = true;
        }
        else
        {
            if (options.scene >= 0)
                problem = "--scene given twice";
            else if (!ParseInt64(value, 0, kSceneCount - 1, number))
                problem = "--scene must be a scene index from " + SceneIndexRange() + ", not '" +
                          value + "'";
            options.scene = static_cast<int>(number);
        }
    }
    if (problem.empty() && !(haveSeconds && haveSeed))
        problem = "--soak and --seed are required";
    if (!problem.empty())
    {
        std::fprintf(stderr, "clatterbox-sim: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    try
    {
        return RunSoak(options, stdout, stderr);
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "clatterbox-sim: %s\n", error.what());
        return 1;
    }
}
