// The instruments of the View and File menus and the middle mouse button: the
// statistics panel's figures against a pile whose contacts are known, the
// contact points appearing and going with their option (and changing no
// result), screenshots named and placed as the user expects, and a body
// followed or held with the middle button.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Screenshot.h"
#include "dynamics/Body.h"
#include "dynamics/Random.h"
#include "render/Camera.h"
#include "render/Diagnostics.h"
#include "render/ViewRay.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TempDirectory.h"
#include "world/MouseState.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace fs = std::filesystem;

namespace
{
// The pixel of the 3D area (x right, y down) where a world point is drawn.
struct SPixel
{
    double x;
    double y;
};

SPixel Project(const CCamera& camera, int width, int height, const CVector& p)
{
    const auto unit = [](CVector v)
    {
        v.Normalize();
        return v;
    };
    const CVector forward = unit(camera.centre - camera.eye);
    const CVector side = unit(Cross(forward, CVector(0, 0, 1)));
    const CVector up = Cross(side, forward);
    const CVector d = p - camera.eye;
    const double half = std::tan(kFieldOfViewDegrees * 0.5 * 3.14159265358979 / 180.0);
    const double aspect = static_cast<double>(width) / height;
    const double depth = Dot(d, forward);
    const double x = Dot(d, side) / (depth * half * aspect);
    const double y = Dot(d, up) / (depth * half);
    return {(x + 1.0) * 0.5 * width, (1.0 - y) * 0.5 * height};
}

// Sets an environment variable for the life of the object.
class CScopedVariable
{
public:
    CScopedVariable(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~CScopedVariable()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Width and height from a PNG file's header.
std::pair<int, int> PngSize(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> head(24);
    in.read(reinterpret_cast<char*>(head.data()), 24);
    const auto be = [&](int at)
    { return head[at] << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3]; };
    return {be(16), be(20)};
}

// Pixels of the 3D area within a small distance of a colour.
int PixelsOfColour(int width, int height, int r, int g, int b)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int count = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (std::abs(rgba[i] - r) + std::abs(rgba[i + 1] - g) + std::abs(rgba[i + 2] - b) < 12)
            ++count;
    return count;
}

class InstrumentsTest : public CAppTest
{
protected:
    // Frames of 20 ms of the host's clock, each advanced and drawn.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            host.AdvanceTime(20);
            app->Idle();
        }
    }

    // Two balls resting side by side, overlapping a little, on the floor.
    void TwoBallsOnTheFloor()
    {
        CWorld& world = *app->World();
        world.target = nullptr;
        world.bodies.clear();
        for (const float x : {0.0f, 6.9f})
        {
            CInertialBody* ball = CreateSphereBody(&world, 30.0f, 3.5f);
            ball->matrix.SetTranslation(x, 0.0f, 3.45f);
            world.bodies.emplace_back(ball);
        }
    }
};
} // namespace

TEST_F(InstrumentsTest, StatisticsCountTheContactsStepsAndBodiesOfAKnownPile)
{
    StartRunning();
    TwoBallsOnTheFloor();
    app->OnCommand(kCommandStatistics);
    Frames(1);
    const SFrameFigures& last = app->Statistics().Last();
    EXPECT_EQ(last.bodies, 2);
    EXPECT_EQ(last.planeContacts, 2u);
    EXPECT_EQ(last.bodyContacts, 1u);
    EXPECT_EQ(last.steps, app->World()->frameSteps);
    EXPECT_GT(last.steps, 0);
    EXPECT_EQ(host.StatisticsDrawn(), &app->Statistics());
    EXPECT_TRUE(app->Menu().IsChecked(kCommandStatistics));

    app->OnCommand(kCommandStatistics);
    Frames(1);
    EXPECT_EQ(host.StatisticsDrawn(), nullptr);
}

TEST_F(InstrumentsTest, SimulatedAgainstRealTimeFollowsTheSpeed)
{
    StartRunning();
    app->OnCommand(kCommandStatistics);
    Frames(60);
    EXPECT_NEAR(app->Statistics().FramesPerSecond(), 50.0, 1e-9);
    // Whole fixed steps run up to one step past each frame's share.
    EXPECT_GE(app->Statistics().SimulatedPerWall(), 1.0);
    EXPECT_LE(app->Statistics().SimulatedPerWall(), 1.1);

    app->OnCommand(kCommandSpeed1of4);
    Frames(60);
    EXPECT_NEAR(app->Statistics().SimulatedPerWall(), 0.25, 0.01);
    const std::string caption = app->FormatCaption(50.0);
    EXPECT_NE(caption.find("speed 1/4  sim 0.2"), std::string::npos) << caption;
}

TEST_F(InstrumentsTest, ContactPointsComeAndGoWithTheirOption)
{
    StartRunning();
    TwoBallsOnTheFloor();
    app->OnCommand(kCommandContactPoints);
    EXPECT_TRUE(app->Menu().IsChecked(kCommandContactPoints));
    app->OnCommand(kCommandPause);
    app->OnCommand(kCommandSingleStep);
    const CWorld& world = *app->World();
    ASSERT_EQ(g_diagnosticMarkers.size(), 3u);
    EXPECT_EQ(world.contactMarkersOfPlanes, 2u);
    ASSERT_EQ(world.contactLog.Records().size(), 3u);
    for (int i = 0; i < 2; ++i) // the floor's contacts: under each ball, normal up
    {
        EXPECT_NEAR(g_diagnosticMarkers[i].z, 0.0f, 0.1f);
        EXPECT_NEAR(g_diagnosticMarkers[i].x, i == 0 ? 0.0f : 6.9f, 0.01f);
    }
    EXPECT_NEAR(g_diagnosticMarkers[2].x, 3.45f, 0.01f); // between the balls
    for (const SContactRecord& record : world.contactLog.Records())
        EXPECT_GT(record.force, 0.0f);

    app->Render();
    // The floor's points cyan, the balls' orange, drawn over the bodies.
    EXPECT_GT(PixelsOfColour(640, 480, 25, 230, 255), 0);
    EXPECT_GT(PixelsOfColour(640, 480, 255, 115, 25), 0);

    app->OnCommand(kCommandContactPoints);
    EXPECT_TRUE(g_diagnosticMarkers.empty());
    app->Render();
    EXPECT_EQ(PixelsOfColour(640, 480, 25, 230, 255), 0);
    EXPECT_EQ(PixelsOfColour(640, 480, 255, 115, 25), 0);
    app->OnCommand(kCommandSingleStep);
    EXPECT_TRUE(g_diagnosticMarkers.empty());
    EXPECT_TRUE(app->World()->contactLog.Records().empty());
}

TEST_F(InstrumentsTest, WatchingTheContactsChangesNoResult)
{
    StartRunning(); // the platform the worlds read their keys from
    CWorld watched;
    CWorld plain;
    for (CWorld* world : {&watched, &plain})
    {
        world->sceneIndex = kTower; // many resting contacts
        SeedRandom(5);
        world->BuildScene();
    }
    watched.recordContacts = true;
    for (int i = 0; i < 400; ++i)
    {
        watched.Step(kSimulationStep);
        plain.Step(kSimulationStep);
    }
    ASSERT_EQ(watched.BodyCount(), plain.BodyCount());
    for (int b = 0; b < watched.BodyCount(); ++b)
        EXPECT_EQ(std::memcmp(&watched.Body(b)->matrix, &plain.Body(b)->matrix,
                              sizeof(watched.Body(b)->matrix)),
                  0)
            << "body " << b;
    EXPECT_EQ(watched.contactLog.Records().size(), watched.stepContacts);
}

struct SFolderCase
{
    const char* name;
    bool pictures;        // XDG_PICTURES_DIR set
    bool homePictures;    // $HOME/Pictures exists
    const char* expected; // "pictures", "home" or "."
};

class ScreenshotFolderTest : public ::testing::TestWithParam<SFolderCase>
{
};

TEST_P(ScreenshotFolderTest, PicturesFolderThenHomePicturesThenHere)
{
    const SFolderCase& c = GetParam();
    CTempDirectory home;
    if (c.homePictures)
        fs::create_directory(home.Path() / "Pictures");
    const std::string pictures = (home.Path() / "Shots").string();
    const std::string folder =
        ScreenshotFolder(c.pictures ? pictures.c_str() : nullptr, home.Path().c_str());
    const std::string expected = std::string(c.expected) == "pictures" ? pictures
                                 : std::string(c.expected) == "home"
                                     ? (home.Path() / "Pictures").string()
                                     : ".";
    EXPECT_EQ(folder, expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, ScreenshotFolderTest,
                         ::testing::Values(SFolderCase{"PicturesDirectoryWins", true, true,
                                                       "pictures"},
                                           SFolderCase{"HomePictures", false, true, "home"},
                                           SFolderCase{"WorkingDirectory", false, false, "."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScreenshotPathTest, NamedByTheMomentWithASuffixWhileTaken)
{
    CTempDirectory folder;
    std::tm moment{};
    moment.tm_year = 2026 - 1900;
    moment.tm_mon = 11;
    moment.tm_mday = 11;
    moment.tm_hour = 9;
    moment.tm_min = 5;
    moment.tm_sec = 7;
    const fs::path first = folder.Path() / "clatterbox-20261211-090507.png";
    EXPECT_EQ(ScreenshotPath(folder.Path().string(), moment), first.string());
    std::ofstream(first).put('x');
    EXPECT_EQ(ScreenshotPath(folder.Path().string(), moment),
              (folder.Path() / "clatterbox-20261211-090507-2.png").string());
    // A dangling link is an entry too: nothing is written through it.
    fs::create_symlink(folder.Path() / "nowhere",
                       folder.Path() / "clatterbox-20261211-090507-2.png");
    EXPECT_EQ(ScreenshotPath(folder.Path().string(), moment),
              (folder.Path() / "clatterbox-20261211-090507-3.png").string());
}

TEST_F(InstrumentsTest, SaveScreenshotWritesTheViewIntoThePicturesFolder)
{
    CTempDirectory folder;
    const CScopedVariable pictures("XDG_PICTURES_DIR", (folder.Path() / "Shots").string());
    StartRunning();
    PushKey(kVkF1 + 11);
    RunQueued();
    app->Render();
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder.Path() / "Shots"))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].extension(), ".png");
    EXPECT_EQ(PngSize(files[0]), std::make_pair(640, 480));
    EXPECT_EQ(app->Status(), "saved " + files[0].string());
    EXPECT_NE(app->FormatCaption(60.0).find(files[0].string()), std::string::npos);
    // Only on request: the next frame writes nothing.
    app->Render();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path() / "Shots"), {}), 1);
}

TEST_F(InstrumentsTest, AScreenshotThatCannotBeWrittenSaysWhy)
{
    CTempDirectory folder;
    const fs::path notAFolder = folder.Write("file", {1, 2, 3});
    const CScopedVariable pictures("XDG_PICTURES_DIR", notAFolder.string());
    StartRunning();
    app->OnCommand(kCommandSaveScreenshot);
    app->Render();
    EXPECT_EQ(app->Status().rfind("screenshot not saved: " + notAFolder.string(), 0), 0u)
        << app->Status();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 1);
}

TEST_F(InstrumentsTest, AMiddleClickFollowsAnyBodyOfTheScene)
{
    StartRunning();
    CWorld& world = *app->World();
    world.sceneIndex = kDominoes; // 21 slabs in a row
    world.BuildScene();
    app->OnCommand(kCommandPause);
    int followed = 0;
    for (int index = 0; index < world.BodyCount(); ++index)
    {
        const SPixel at = Project(*world.camera, 640, 480, world.Body(index)->Position());
        CMouseGrab grab;
        grab.Press(world, static_cast<int>(at.x), static_cast<int>(at.y), 640, 480);
        const int picked = grab.Release(world);
        if (picked < 0)
            continue;
        EXPECT_EQ(world.target, world.Body(picked));
        EXPECT_EQ(world.follow, 1);
        followed += picked == index ? 1 : 0;
    }
    // A slab seen edge-on may hide behind its neighbour; most are hit squarely.
    EXPECT_GE(followed, world.BodyCount() * 3 / 4);
}

TEST_F(InstrumentsTest, AMiddleDragLiftsTheBodyAndLettingGoEndsThePull)
{
    StartRunning();
    TwoBallsOnTheFloor();
    CWorld& world = *app->World();
    Frames(10);
    const CVector start = world.Body(0)->Position();
    const SPixel at = Project(*world.camera, 640, 480, start);
    const int x = static_cast<int>(at.x);
    const int y = static_cast<int>(at.y);

    SHostEvent press;
    press.type = EHostEventType::kButtonDown;
    press.button = EMouseButton::kMiddle;
    press.x = x;
    press.y = y;
    app->WindowProc(press);
    SHostEvent move;
    move.type = EHostEventType::kMouseMove;
    move.x = x;
    move.y = y - 60; // upwards on the screen
    app->WindowProc(move);
    ASSERT_TRUE(world.grab.has_value());
    EXPECT_EQ(world.grab->body, world.Body(0));
    Frames(50);
    EXPECT_GT(world.Body(0)->Position().z, start.z + 5.0f);
    // Nothing in the picture moved the pusher.
    EXPECT_FALSE(g_mouseState.leftButtonDown || g_mouseState.rightButtonDown);

    SHostEvent release = press;
    release.type = EHostEventType::kButtonUp;
    app->WindowProc(release);
    EXPECT_FALSE(world.grab.has_value());
    // A drag is no click: the camera's target is unchanged.
    EXPECT_NE(world.target, world.Body(0));
    Frames(100);
    EXPECT_LT(world.Body(0)->Position().z, start.z + 0.5f);
}

TEST_F(InstrumentsTest, ABodyRemovedWhileHeldIsLetGo)
{
    StartRunning();
    CWorld& world = *app->World();
    SGrab grab;
    grab.body = world.Body(world.BodyCount() - 1);
    grab.index = world.BodyCount() - 1;
    grab.target = CVector(0, 0, 30);
    world.grab = grab;
    world.RemoveLastBody();
    EXPECT_FALSE(world.grab.has_value());
    world.grab = grab; // as a stale copy would be
    world.Step(kSimulationStep);
    EXPECT_FALSE(world.grab.has_value());
}
