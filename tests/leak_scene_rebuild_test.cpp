// A thousand scene builds through the menu commands leave nothing behind:
// the display lists alive afterwards are the current scene's and the floor's,
// as many as before, and the program's own heap is back where it was. Under
// the sanitizer build LeakSanitizer checks the rest at exit. The whole
// process heap is printed beside it: Mesa 22.3 keeps 12 bytes of every
// quad strip and triangle fan compiled into a list past its deletion.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "app/Commands.h"
#include "tests/support/AppFixture.h"
#include "tests/support/OwnHeap.h"
#include "tests/support/ResourceCensus.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
// Heap that may come and go between two counts without a leak: containers
// that keep their capacity, the driver's C++ parts. A leak of a single
// shape a build would pass this within the thousand builds.
constexpr size_t kHeapSlack = 16 * 1024;

class LeakSceneRebuildTest : public CAppTest
{
protected:
    CWorld& World() { return *app->World(); }

    // One command, its frame drawn, its lists recorded.
    void Run(int command)
    {
        app->OnCommand(command);
        census.Record(World());
        host.AdvanceTime(16);
        app->Idle();
        // A window's buffer swap waits for the frame; the headless host's
        // swap does not, and llvmpipe would pile up frames in flight.
        glFinish();
    }

    CResourceCensus census{200000};
};

TEST_F(LeakSceneRebuildTest, ThousandSceneBuildsLeaveTheListsAndHeapAsBefore)
{
    StartRunning();
    ASSERT_EQ(World().sceneIndex, 0);
    // Every body with display lists of its own, so that a list left behind
    // by one of them shows (the shared geometry's lists are counted in the
    // crowd rendering test).
    World().drawTuning.sharedGeometry = false;
    World().BuildScene();
    census.Record(World());
    // One round of every scene first, so that the allocations that stay for
    // the life of a context (compiled state, texture bindings) are made.
    for (int scene = 0; scene < kSceneCount; ++scene)
        Run(kCommandNextScene);
    ASSERT_EQ(World().sceneIndex, 0);

    const size_t listsBefore = census.LiveListsInRange();
    const size_t worldLists = CResourceCensus::WorldLists(World());
    const size_t heapBefore = OwnHeapBytes();
    const size_t processBefore = CResourceCensus::ProcessHeapInUse();
    EXPECT_EQ(listsBefore, worldLists);

    // 990 changes of scene, ninety times round the catalogue, both ways, and
    // ten resets: a thousand builds, ending on the first scene.
    for (int round = 0; round < 90; ++round)
        for (int scene = 0; scene < kSceneCount; ++scene)
            Run(round % 2 == 0 ? kCommandNextScene : kCommandPreviousScene);
    for (int reset = 0; reset < 10; ++reset)
        Run(kCommandResetScene);
    ASSERT_EQ(World().sceneIndex, 0);

    const size_t listsAfter = census.LiveListsInRange();
    const size_t heapAfter = OwnHeapBytes();
    const size_t processAfter = CResourceCensus::ProcessHeapInUse();
    std::printf("display lists: %zu names handed out, %zu live before, %zu after; own heap %zu "
                "bytes before, %zu after; whole process heap %zu before, %zu after\n",
                census.HandedOut(), listsBefore, listsAfter, heapBefore, heapAfter, processBefore,
                processAfter);
    EXPECT_GT(census.HandedOut(), 1000u * 3u);
    ASSERT_FALSE(census.Overflowed());
    EXPECT_EQ(listsAfter, listsBefore);
    EXPECT_EQ(census.LiveLists(), CResourceCensus::WorldLists(World()));
    EXPECT_LE(heapAfter, heapBefore + kHeapSlack);
}

TEST_F(LeakSceneRebuildTest, ClosingTheApplicationDeletesEveryList)
{
    StartRunning();
    for (int scene = 0; scene < kSceneCount; ++scene)
        Run(kCommandNextScene);
    ASSERT_GT(census.LiveLists(), 0u);
    // The host's context stays current after the application is gone.
    app.reset();
    EXPECT_EQ(census.LiveListsInRange(), 0u);
}
} // namespace
