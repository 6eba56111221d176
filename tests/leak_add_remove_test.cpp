// Ten thousand balls added with F5 and removed with F6 leave nothing behind:
// the live display lists and the program's own heap return to their values
// before. Under the sanitizer build LeakSanitizer checks the rest at exit.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/Commands.h"
#include "render/Platform.h"
#include "tests/support/AppFixture.h"
#include "tests/support/OwnHeap.h"
#include "tests/support/ResourceCensus.h"
#include "world/World.h"

namespace
{
// See the scene rebuild test.
constexpr size_t kHeapSlack = 16 * 1024;
constexpr int kCycles = 10000;
constexpr int kMostBodies = 100;

class LeakAddRemoveTest : public CAppTest
{
protected:
    CWorld& World() { return *app->World(); }

    void Frame()
    {
        host.AdvanceTime(16);
        app->Idle();
        // A window's buffer swap waits for the frame; the headless host's
        // swap does not, and llvmpipe would pile up frames in flight.
        glFinish();
    }

    CResourceCensus census{200000};
};

TEST_F(LeakAddRemoveTest, TenThousandAddedAndRemovedBallsLeaveTheListsAndHeapAsBefore)
{
    StartRunning();
    // Every ball with display lists of its own, so that a list left behind
    // by one of them shows (the shared geometry's lists are counted in the
    // crowd rendering test).
    World().drawTuning.sharedGeometry = false;
    World().BuildScene();
    const int sceneBodies = World().BodyCount();
    census.Record(World());
    // A first fill to the most bodies, so that the lists of the step and of
    // the broad phase have grown to their largest before the count.
    for (int i = sceneBodies; i < kMostBodies; ++i)
        app->OnKeyDown(kVkF5);
    Frame();
    while (World().BodyCount() > sceneBodies)
        app->OnKeyDown(kVkF6);
    Frame();

    const size_t listsBefore = census.LiveListsInRange();
    const size_t heapBefore = OwnHeapBytes();
    const size_t processBefore = CResourceCensus::ProcessHeapInUse();
    EXPECT_EQ(listsBefore, CResourceCensus::WorldLists(World()));

    // Bursts of 1 to 93 balls, each drawn and stepped while they are in,
    // then taken out again, until ten thousand have come and gone.
    int added = 0;
    int burst = 1;
    while (added < kCycles)
    {
        const int count = std::min({burst, kMostBodies - sceneBodies, kCycles - added});
        for (int i = 0; i < count; ++i)
        {
            app->OnKeyDown(kVkF5);
            census.Record(*World().Body(World().BodyCount() - 1));
        }
        Frame();
        for (int i = 0; i < count; ++i)
            app->OnKeyDown(kVkF6);
        Frame();
        ASSERT_EQ(World().BodyCount(), sceneBodies);
        added += count;
        burst = burst % (kMostBodies - sceneBodies) + 1;
    }

    const size_t listsAfter = census.LiveListsInRange();
    const size_t heapAfter = OwnHeapBytes();
    const size_t processAfter = CResourceCensus::ProcessHeapInUse();
    std::printf("display lists: %zu names handed out, %zu live before, %zu after; own heap %zu "
                "bytes before, %zu after; whole process heap %zu before, %zu after\n",
                census.HandedOut(), listsBefore, listsAfter, heapBefore, heapAfter, processBefore,
                processAfter);
    EXPECT_GE(census.HandedOut(), static_cast<size_t>(kCycles) * 3u);
    ASSERT_FALSE(census.Overflowed());
    EXPECT_EQ(listsAfter, listsBefore);
    EXPECT_EQ(census.LiveLists(), CResourceCensus::WorldLists(World()));
    EXPECT_LE(heapAfter, heapBefore + kHeapSlack);
}

} // namespace
