// The clocks at their edges, through the application on the headless host:
// the 32-bit millisecond clock wrapping in the middle of a run, and a run
// that has gone on past 2^16 simulated seconds (about 18 hours) and far
// beyond. Either way every frame must get the time step, the number of
// fixed steps and the frame rate of an ordinary run.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/headless/HeadlessPlatform.h"
#include "world/World.h"

namespace
{
// What one frame did.
struct SFrame
{
    float timeStep = 0.0f; // seconds, the application's smoothed step
    int64_t steps = 0;     // fixed steps the world ran
    bool operator==(const SFrame&) const = default;
};

struct SRun
{
    std::vector<SFrame> frames;
    std::string caption; // after the last frame
};

std::ostream& operator<<(std::ostream& out, const SFrame& frame)
{
    return out << "{step " << frame.timeStep << " s, " << frame.steps << " steps}";
}

// Frames of a fixed length from a clock reading and a simulated time, run
// through the application's own loop.
SRun RunFrames(uint32_t startMilliseconds, double simulatedTime, uint32_t frameMilliseconds,
               int count)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(CLATTERBOX_SOURCE_DIR) / "assets");
    SRun run;
    {
        CHeadlessPlatform host;
        host.SetTime(startMilliseconds);
        CApplication app(host);
        if (!app.Initialize())
        {
            ADD_FAILURE() << "start-up failed";
            std::filesystem::current_path(previous);
            return run;
        }
        g_simulatedTime = simulatedTime;
        for (int frame = 0; frame < count; ++frame)
        {
            const double before = g_simulatedTime;
            app.Idle();
            const double steps = (g_simulatedTime - before) / static_cast<double>(kSimulationStep);
            // The clock must move by whole steps of its own.
            EXPECT_NEAR(steps, std::round(steps), 1e-3) << "frame " << frame;
            run.frames.push_back({app.TimeStep(), static_cast<int64_t>(std::llround(steps))});
            host.AdvanceTime(frameMilliseconds);
        }
        run.caption = host.Caption();
    }
    std::filesystem::current_path(previous);
    return run;
}

TEST(ClockEdgesTest, WrapOfTheMillisecondClockGivesOrdinaryFrames)
{
    // 17 ms frames: 8.5 steps' worth, so every settled frame runs 9 steps
    // whatever the rounding.
    constexpr int kFrames = 60;
    const SRun ordinary = RunFrames(1000u, 0.0, 17, kFrames);
    // Wraps between the 20th and 21st frames, and again the caption clock.
    const SRun wrapped = RunFrames(0xFFFFFFFFu - 20u * 17u + 5u, 0.0, 17, kFrames);
    ASSERT_EQ(wrapped.frames.size(), static_cast<size_t>(kFrames));
    EXPECT_EQ(wrapped.frames, ordinary.frames);
    EXPECT_EQ(wrapped.caption, ordinary.caption);
    EXPECT_EQ(ordinary.frames.back().steps, 9);
    EXPECT_NEAR(ordinary.frames.back().timeStep, 0.017f, 1e-6f);
    EXPECT_NE(ordinary.caption.find("(58.8 fps)"), std::string::npos) << ordinary.caption;
}

TEST(ClockEdgesTest, LongRunsKeepTheTimeStepStepsAndFrameRate)
{
    constexpr int kFrames = 60;
    const SRun ordinary = RunFrames(1000u, 0.0, 17, kFrames);
    // In ascending order: a clock that lost precision would first run at
    // half speed (past 2^15 s) and then stop moving altogether (past 2^16 s),
    // so that the frame never ended.
    const double cases[] = {32768.5, 65536.25, 65536.0 * 24.0, 67108864.0 /* two years */};
    for (const double start : cases)
    {
        const SRun late = RunFrames(1000u, start, 17, kFrames);
        ASSERT_EQ(late.frames, ordinary.frames) << "simulated time " << start;
        EXPECT_EQ(late.caption, ordinary.caption) << start;
    }
    g_simulatedTime = 0.0;
}
} // namespace
