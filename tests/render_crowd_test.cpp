// A pile of balls drawn with today's path and with each of the drawing's
// economies: those that keep pixels must keep every one of them, those that
// change detail may move only a few, and below the crowd none may start.

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "dynamics/Random.h"
#include "render/DrawTuning.h"
#include "tests/support/RenderScene.h"

namespace
{
SDrawTuning Plain()
{
    return SDrawTuning::Plain();
}

struct SCrowdCase
{
    const char* name;
    SDrawTuning (*tuning)();
    int balls;     // in the pile
    bool closeUp;  // the eye close to one corner, most balls out of view
    double moved;  // largest share of pixels allowed to differ by more than 48 in a channel
    int tolerance; // largest channel difference allowed elsewhere; 0: exact
    SDrawTuning (*before)() = Plain; // the picture it is compared with
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SCrowdCase& c, std::ostream* out)
{
    *out << c.name;
}

struct SPixelDifference
{
    double movedShare = 0.0; // pixels off by more than 48 in some channel
    int largestOther = 0;    // the largest channel difference among the rest
    int differing = 0;       // pixels not exactly equal
};

SPixelDifference Compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    SPixelDifference d;
    size_t moved = 0;
    const size_t pixels = a.size() / 4;
    for (size_t p = 0; p < pixels; ++p)
    {
        int largest = 0;
        for (int c = 0; c < 3; ++c)
        {
            largest = std::max(largest, std::abs(a[p * 4 + c] - b[p * 4 + c]));
        }
        if (largest > 0)
        {
            ++d.differing;
        }
        if (largest > 48)
        {
            ++moved;
        }
        else
        {
            d.largestOther = std::max(d.largestOther, largest);
        }
    }
    d.movedShare = static_cast<double>(moved) / static_cast<double>(pixels);
    return d;
}

class RenderCrowdTest : public CRenderSceneTest, public ::testing::WithParamInterface<SCrowdCase>
{
protected:
    // The pile: rows of balls on the floor, a second layer resting on them,
    // and a few hanging above, whose shadows fall beside them. The same
    // colours every time.
    void BuildPile(const SDrawTuning& tuning, int balls)
    {
        world->bodies.clear();
        world->drawTuning = tuning;
        SeedRandom(7);
        for (int i = 0; i < balls; ++i)
        {
            const int layer = i / 120;
            const int row = (i % 120) / 10;
            const int column = i % 10;
            const float x = -31.5f + 7.0f * static_cast<float>(column) + 3.5f * (layer % 2);
            const float y = -50.0f + 8.5f * static_cast<float>(row) + 3.5f * (layer % 2);
            const float z = layer < 2 ? 3.5f + 6.0f * static_cast<float>(layer)
                                      : 20.0f + 4.0f * static_cast<float>(layer);
            AddSphere(CVector(x, y, z), 3.5f);
        }
    }

    std::vector<uint8_t> Draw(const SDrawTuning& tuning, int balls, bool closeUp)
    {
        BuildPile(tuning, balls);
        if (closeUp)
        {
            // Low over the near left corner, looking across it: the far balls
            // are out of view, and the point light throws some of their
            // shadows into it.
            world->camera->eye = CVector(-60.0f, -75.0f, 25.0f);
            world->camera->centre = CVector(-25.0f, -40.0f, 0.0f);
        }
        return Render(2, 1);
    }
};

TEST_P(RenderCrowdTest, PileKeepsItsPicture)
{
    const SCrowdCase& c = GetParam();
    const std::vector<uint8_t> today = Draw(c.before(), c.balls, c.closeUp);
    const std::vector<uint8_t> changed = Draw(c.tuning(), c.balls, c.closeUp);
    SavePicture(today, std::string("crowd-") + c.name + "-today");
    SavePicture(changed, std::string("crowd-") + c.name + "-changed");

    const SPixelDifference d = Compare(today, changed);
    RecordProperty("differing_pixels", d.differing);
    if (c.tolerance == 0)
    {
        EXPECT_EQ(d.differing, 0) << "pixels changed by " << c.name;
        return;
    }
    EXPECT_LE(d.movedShare, c.moved) << c.name;
    EXPECT_LE(d.largestOther, c.tolerance) << c.name;
    // The economy must have started at all: a crowd's picture shows it.
    EXPECT_GT(d.differing, 0) << c.name << " did not start in a crowd";
}

class RenderSharedGeometryTest : public CRenderSceneTest
{
};

// Balls of one size share their geometry at every level of detail: a thousand
// of them compile nothing beyond the first, and when they are gone so are the
// shared lists.
TEST_F(RenderSharedGeometryTest, BallsShareListsAndLeaveNoneBehind)
{
    world->drawTuning = SDrawTuning();
    CInertialBody* const first = AddSphere(CVector(0.0f, 0.0f, 3.5f), 3.5f);
    const std::vector<unsigned> names = first->ListNames();
    ASSERT_EQ(names.size(), 4u); // full detail and three coarser levels
    EXPECT_EQ(world->geometryCache.Size(), 4u);
    for (int i = 0; i < 999; ++i)
    {
        world->AddBall();
        ASSERT_EQ(world->bodies.back()->ListNames(), names);
    }
    EXPECT_EQ(world->geometryCache.Size(), 4u);
    Render(2, 1);

    world->bodies.clear();
    EXPECT_EQ(world->geometryCache.Size(), 0u);
    for (const unsigned name : names)
    {
        EXPECT_EQ(glIsList(name), GL_FALSE) << name;
    }
}

SDrawTuning Shared()
{
    SDrawTuning t = Plain();
    t.sharedGeometry = true;
    return t;
}
SDrawTuning Culled()
{
    SDrawTuning t = Plain();
    t.viewCulling = true;
    return t;
}
SDrawTuning Detail()
{
    SDrawTuning t = Shared();
    t.levelOfDetail = true;
    return t;
}
SDrawTuning OnePass()
{
    SDrawTuning t = Plain();
    t.singlePassReflections = true;
    return t;
}
SDrawTuning Batched()
{
    SDrawTuning t = OnePass();
    t.batchedSpheres = true;
    return t;
}
SDrawTuning KeptMemory()
{
    SDrawTuning t = Plain();
    t.keepFreedMemory = true;
    return t;
}
SDrawTuning Silhouettes()
{
    SDrawTuning t = Batched();
    t.silhouetteShadows = true;
    return t;
}
SDrawTuning NearestFirst()
{
    SDrawTuning t = Batched();
    t.nearestFirst = true;
    return t;
}
SDrawTuning Everything()
{
    return SDrawTuning();
}

INSTANTIATE_TEST_SUITE_P(
    Changes, RenderCrowdTest,
    ::testing::Values(SCrowdCase{"SharedGeometry", Shared, 250, false, 0.0, 0},
                      SCrowdCase{"ViewCullingCloseUp", Culled, 250, true, 0.0, 0},
                      SCrowdCase{"EverythingBelowTheCrowd", Everything, 40, false, 0.0, 0},
                      SCrowdCase{"EverythingBelowTheCrowdCloseUp", Everything, 30, true, 0.0, 0},
                      SCrowdCase{"LevelOfDetail", Detail, 250, false, 0.03, 48},
                      SCrowdCase{"OnePassReflections", OnePass, 250, false, 0.0, 3},
                      SCrowdCase{"BatchedSpheres", Batched, 250, false, 0.03, 48},
                      SCrowdCase{"KeptFreedMemory", KeptMemory, 250, false, 0.0, 0},
                      SCrowdCase{"SilhouetteShadows", Silhouettes, 250, false, 0.03, 48},
                      SCrowdCase{"SilhouettesAlone", Silhouettes, 250, false, 0.002, 48, Batched},
                      SCrowdCase{"NearestFirstAlone", NearestFirst, 250, false, 0.0, 0, Batched},
                      SCrowdCase{"Everything", Everything, 250, false, 0.04, 48}),
    [](const ::testing::TestParamInfo<SCrowdCase>& info) { return std::string(info.param.name); });
} // namespace
