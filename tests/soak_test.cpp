// The soak's check of a world after a step, and the soak run itself: its
// figures, and the replay of one scene that a failure report points to.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <regex>
#include <string>

#include "dynamics/Body.h"
#include "render/Camera.h"
#include "tests/support/HeadlessGLTest.h"
#include "tools/soak/Soak.h"
#include "world/World.h"

namespace
{
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// "Billiards 1" as built at start: balls of radius 3.5.
class SoakCheckTest : public CHeadlessGLTest
{
protected:
    SoakCheckTest() : CHeadlessGLTest(16, 16) {}
    void SetUp() override
    {
        CHeadlessGLTest::SetUp();
        world = std::make_unique<CWorld>();
        world->Initialize();
    }
    void TearDown() override
    {
        world.reset();
        CHeadlessGLTest::TearDown();
    }

    CInertialBody& Ball() { return *world->Body(3); }

    std::unique_ptr<CWorld> world;
};

TEST_F(SoakCheckTest, BuiltSceneHasNoFault)
{
    SBodyFault fault;
    EXPECT_FALSE(FindBodyFault(*world, fault)) << fault.what;
}

TEST_F(SoakCheckTest, NonFiniteStateNamesTheBodyAndTheState)
{
    const struct
    {
        void (*spoil)(CInertialBody&);
        const char* named;
    } cases[] = {
        {[](CInertialBody& b) { b.matrix[13] = kNaN; }, "placement matrix"},
        {[](CInertialBody& b) { b.matrix[0] = kInf; }, "placement matrix"},
        {[](CInertialBody& b) { b.inverse[5] = kNaN; }, "inverse matrix"},
        {[](CInertialBody& b) { b.linearVelocity.y = kInf; }, "linear velocity"},
        {[](CInertialBody& b) { b.angularVelocity.z = kNaN; }, "angular velocity"},
        {[](CInertialBody& b) { b.worldAngularVelocity.x = -kInf; }, "world angular velocity"},
        {[](CInertialBody& b) { b.force.z = kNaN; }, "force"},
        {[](CInertialBody& b) { b.torque.x = kInf; }, "torque"},
    };
    for (const auto& c : cases)
    {
        world->BuildScene();
        c.spoil(Ball());
        SBodyFault fault;
        ASSERT_TRUE(FindBodyFault(*world, fault)) << c.named;
        EXPECT_EQ(fault.body, 3) << c.named;
        EXPECT_NE(fault.what.find(c.named), std::string::npos) << fault.what;
    }
}

TEST_F(SoakCheckTest, BodyMayLieOutsideByLessThanItsBoundingRadiusOnly)
{
    const float r = Ball().boundingRadius;
    ASSERT_FLOAT_EQ(r, 3.5f);
    const struct
    {
        CVector centre;
        bool fault;
        const char* where;
    } cases[] = {
        {{0.0f, 0.0f, -r + 0.01f}, false, ""},
        {{0.0f, 0.0f, -r - 0.01f}, true, "below the floor"},
        {{-40.0f - r + 0.01f, 0.0f, 5.0f}, false, ""},
        {{-40.0f - r - 0.01f, 0.0f, 5.0f}, true, "x = -40"},
        {{40.0f + r - 0.01f, 0.0f, 5.0f}, false, ""},
        {{40.0f + r + 0.01f, 0.0f, 5.0f}, true, "x = 40"},
        {{0.0f, -60.0f - r - 0.01f, 5.0f}, true, "y = -60"},
        {{0.0f, 60.0f + r + 0.01f, 5.0f}, true, "y = 60"},
        {{0.0f, 60.0f + r - 0.01f, 500.0f}, false, ""}, // high above is no escape
    };
    for (const auto& c : cases)
    {
        Ball().matrix.SetTranslation(c.centre);
        SBodyFault fault;
        EXPECT_EQ(FindBodyFault(*world, fault), c.fault)
            << c.centre.x << " " << c.centre.y << " " << c.centre.z;
        if (c.fault)
        {
            EXPECT_EQ(fault.body, 3);
            EXPECT_NE(fault.what.find(c.where), std::string::npos) << fault.what;
        }
    }
}

TEST_F(SoakCheckTest, PusherMayPassTheWallsButMustStayFinite)
{
    SBodyFault fault;
    world->pusher->matrix.SetTranslation(300.0f, -200.0f, 0.0f);
    EXPECT_FALSE(FindBodyFault(*world, fault)) << fault.what;
    world->pusher->linearVelocity.x = kNaN;
    ASSERT_TRUE(FindBodyFault(*world, fault));
    EXPECT_EQ(fault.body, -1);
}

TEST_F(SoakCheckTest, CameraThatSteersThePusherMustStayFinite)
{
    world->camera->azimuth = kNaN;
    SBodyFault fault;
    ASSERT_TRUE(FindBodyFault(*world, fault));
    EXPECT_EQ(fault.body, -2);
}

// The figures of a run with the wall time cut out, one line a scene.
std::string RunFigures(const SSoakOptions& options, int& status)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    status = RunSoak(options, out, err);
    std::string text;
    for (std::FILE* file : {out, err})
    {
        std::rewind(file);
        char buffer[1024];
        size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, read);
        std::fclose(file);
    }
    return std::regex_replace(text, std::regex("[0-9.]+ s wall"), "_ s wall");
}

std::string SceneLine(const std::string& figures, int scene)
{
    const std::regex line("(^|\n)(scene " + std::to_string(scene) + " [^\n]*)");
    std::smatch match;
    return std::regex_search(figures, match, line) ? match[2].str() : std::string();
}

TEST(SoakRunTest, EveryScenePassesAShortSoakWithItsFigures)
{
    int status = -1;
    const std::string figures = RunFigures({2.0, 11, -1}, status);
    EXPECT_EQ(status, 0) << figures;
    for (int scene = 0; scene < 11; ++scene)
        EXPECT_NE(SceneLine(figures, scene).find("2.000 s simulated, 1000 steps"),
                  std::string::npos)
            << figures;
    EXPECT_NE(figures.find("soak passed: 11 scenes, 11000 steps, 22.000 s simulated"),
              std::string::npos)
        << figures;
}

TEST(SoakRunTest, OneSceneReplaysAsItRanAmongAllTheOthers)
{
    // What a failure report's replay line relies on: a scene's soak depends
    // on the seed and the scene alone, not on the scenes before it.
    int status = -1;
    const std::string all = RunFigures({6.0, 5, -1}, status);
    ASSERT_EQ(status, 0) << all;
    for (const int scene : {0, 4, 9})
    {
        const std::string alone = RunFigures({6.0, 5, scene}, status);
        ASSERT_EQ(status, 0) << alone;
        EXPECT_EQ(SceneLine(alone, scene), SceneLine(all, scene));
        EXPECT_FALSE(SceneLine(alone, scene).empty());
    }
    // And another seed gives another run.
    const std::string other = RunFigures({6.0, 6, 4}, status);
    EXPECT_NE(SceneLine(other, 4), SceneLine(all, 4));
}
} // namespace
