// The floor's shadows in the three shadow modes, judged pixel by pixel against
// where the geometry puts each light's shadow, and the state a frame leaves.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/support/RenderScene.h"

namespace
{
// The floor's four regions by the lights that reach it.
enum ERegion
{
    kBothLights = 0,  // no shadow
    kLight1Only = 1,  // in the shadow of light 0
    kLight0Only = 2,  // in the shadow of light 1
    kAmbientOnly = 3, // in both shadows
};

constexpr const char* kRegionNames[4] = {"both lights", "light 1 only", "light 0 only",
                                         "ambient only"};

int RegionOf(const SPixelClass& c)
{
    return (c.shadow0 ? 1 : 0) + (c.shadow1 ? 2 : 0);
}

// Floor material and light terms of the lighting equation (the floor's
// specular is black). The directional light meets the floor's normal at the
// same angle everywhere; the point light's term is computed at the four
// corners and interpolated over the strip's two triangles, as per-vertex
// lighting does.
constexpr float kFloorAmbient = 0.35f;
constexpr float kFloorDiffuse = 0.5f;
constexpr float kLight0Diffuse = 0.5f;
constexpr float kLight1Diffuse = 0.6f;

float Light1TermAtCorner(float x, float y)
{
    const CVector toLight = CVector(50.0f, 0.0f, 50.0f) - CVector(x, y, 0.0f);
    return kFloorDiffuse * kLight1Diffuse * toLight.z / std::sqrt(toLight.LengthSquared());
}

float Light1Term(const CVector& p)
{
    // Strip order: (-40,-60), (40,-60), (-40,60), (40,60); the diagonal joins
    // the second and third corners.
    const bool firstTriangle = p.x / 40.0f + p.y / 60.0f < 0.0f;
    const float u = (p.x + 40.0f) / 80.0f;  // 0 at x = -40
    const float v = (p.y + 60.0f) / 120.0f; // 0 at y = -60
    const float c1 = Light1TermAtCorner(-40, -60), c2 = Light1TermAtCorner(40, -60);
    const float c3 = Light1TermAtCorner(-40, 60), c4 = Light1TermAtCorner(40, 60);
    if (firstTriangle)
    {
        return c1 + u * (c2 - c1) + v * (c3 - c1);
    }
    return c4 + (1.0f - u) * (c3 - c4) + (1.0f - v) * (c2 - c4);
}

float Light0Term()
{
    return kFloorDiffuse * kLight0Diffuse * 5.0f / std::sqrt(27.0f);
}

// What true shadows leave of the fully lit floor at p in a region.
float TrueShadowRatio(int region, const CVector& p)
{
    const float d0 = Light0Term(), d1 = Light1Term(p);
    const float lit =
        kFloorAmbient + ((region & 1) == 0 ? d0 : 0.0f) + ((region & 2) == 0 ? d1 : 0.0f);
    return lit / (kFloorAmbient + d0 + d1);
}

constexpr float kFakeShadowRatio[4] = {1.0f, 0.7f, 0.8f, 0.56f};

struct SRegionStats
{
    int pixels = 0;
    int worst = 0;           // largest channel difference from the expectation, 0..255
    double brightness = 0.0; // mean of R + G + B
};

class RenderShadowTest : public CRenderSceneTest
{
protected:
    // A ball whose two shadows overlap in part, all four regions in view.
    void HangOneBall() { AddSphere(CVector(25.0f, -10.0f, 10.0f), 7.0f); }

    // For every judged floor pixel: the shadowed frame against ratio(region, p)
    // times the unshadowed frame.
    template <class TRatio>
    std::array<SRegionStats, 4> CompareRegions(const std::vector<uint8_t>& shadowed,
                                               const std::vector<uint8_t>& unshadowed,
                                               TRatio ratio) const
    {
        std::array<SRegionStats, 4> stats;
        const std::vector<SPixelClass> classes = ClassifyPixels();
        for (size_t i = 0; i < classes.size(); ++i)
        {
            if (classes[i].kind != EPixelKind::kFloor)
            {
                continue;
            }
            const int region = RegionOf(classes[i]);
            const float r = ratio(region, classes[i].floorPoint);
            SRegionStats& s = stats[region];
            ++s.pixels;
            const std::array<int, 3> got = Rgb(shadowed, i), base = Rgb(unshadowed, i);
            for (int k = 0; k < 3; ++k)
            {
                const int expected = static_cast<int>(std::lround(r * base[k]));
                s.worst = std::max(s.worst, std::abs(got[k] - expected));
                s.brightness += got[k];
            }
        }
        for (SRegionStats& s : stats)
        {
            s.brightness /= std::max(1, s.pixels);
        }
        return stats;
    }

    // Pixels where a body is certain to be seen must be the same in both frames.
    int BodyPixelsDiffering(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                            int* bodyPixels) const
    {
        int differing = 0;
        *bodyPixels = 0;
        const std::vector<SPixelClass> classes = ClassifyPixels();
        for (size_t i = 0; i < classes.size(); ++i)
        {
            if (classes[i].kind == EPixelKind::kBody)
            {
                ++*bodyPixels;
                differing += Rgb(a, i) != Rgb(b, i) ? 1 : 0;
            }
        }
        return differing;
    }
};

TEST_F(RenderShadowTest, TrueShadowsLightEachFloorRegionByTheLightsThatReachIt)
{
    HangOneBall();
    const std::vector<uint8_t> unshadowed = Render(0);
    const std::vector<uint8_t> frame = Render(2);
    SavePicture(frame, "true_shadows");

    const std::array<SRegionStats, 4> stats = CompareRegions(frame, unshadowed, TrueShadowRatio);
    for (int region = 0; region < 4; ++region)
    {
        EXPECT_GE(stats[region].pixels, 100) << kRegionNames[region];
        EXPECT_LE(stats[region].worst, 3) << kRegionNames[region];
    }
    // Brightest with both lights, darkest with neither.
    EXPECT_GT(stats[kBothLights].brightness, stats[kLight0Only].brightness + 30);
    EXPECT_GT(stats[kBothLights].brightness, stats[kLight1Only].brightness + 30);
    EXPECT_GT(stats[kLight0Only].brightness, stats[kAmbientOnly].brightness + 30);
    EXPECT_GT(stats[kLight1Only].brightness, stats[kAmbientOnly].brightness + 30);

    int bodyPixels = 0;
    EXPECT_EQ(BodyPixelsDiffering(frame, unshadowed, &bodyPixels), 0);
    EXPECT_GT(bodyPixels, 1000);
}

TEST_F(RenderShadowTest, FakeShadowsScaleTheLitFloorPerLight)
{
    HangOneBall();
    const std::vector<uint8_t> unshadowed = Render(0);
    const std::vector<uint8_t> frame = Render(1);
    SavePicture(frame, "fake_shadows");

    const std::array<SRegionStats, 4> stats = CompareRegions(
        frame, unshadowed, [](int region, const CVector&) { return kFakeShadowRatio[region]; });
    for (int region = 0; region < 4; ++region)
    {
        EXPECT_GE(stats[region].pixels, 100) << kRegionNames[region];
        EXPECT_LE(stats[region].worst, 2) << kRegionNames[region];
    }
    // Drawn after the shadows, the ball is not darkened by them.
    int bodyPixels = 0;
    EXPECT_EQ(BodyPixelsDiffering(frame, unshadowed, &bodyPixels), 0);
    EXPECT_GT(bodyPixels, 1000);
}

// Two balls one above the other: their light-0 shadows overlap widely. The
// shadows fall on the far side of the balls, so the view looks from there.
TEST_F(RenderShadowTest, OverlappingShadowsOfOneLightDarkenOnlyOnce)
{
    world->camera->eye = CVector(0.0f, 150.0f, 100.0f);
    world->camera->UpdateSpherical();
    AddSphere(CVector(-15.0f, 20.0f, 10.0f), 6.0f);
    AddSphere(CVector(-13.0f, 22.0f, 20.0f), 6.0f);
    const std::vector<uint8_t> unshadowed = Render(0);
    const struct
    {
        int mode;
        const char* picture;
    } modes[] = {{1, "fake_shadows_overlapping"}, {2, "true_shadows_overlapping"}};
    for (const auto& m : modes)
    {
        const std::vector<uint8_t> frame = Render(m.mode);
        SavePicture(frame, m.picture);
        const std::vector<SPixelClass> classes = ClassifyPixels();
        int overlapping = 0, worst = 0;
        for (size_t i = 0; i < classes.size(); ++i)
        {
            const SPixelClass& c = classes[i];
            if (c.kind != EPixelKind::kFloor || c.shadow0Casters < 2 || c.shadow1)
            {
                continue;
            }
            ++overlapping;
            const float ratio = m.mode == 1 ? kFakeShadowRatio[kLight1Only]
                                            : TrueShadowRatio(kLight1Only, c.floorPoint);
            const std::array<int, 3> got = Rgb(frame, i), base = Rgb(unshadowed, i);
            for (int k = 0; k < 3; ++k)
            {
                worst = std::max(worst,
                                 std::abs(got[k] - static_cast<int>(std::lround(ratio * base[k]))));
            }
        }
        EXPECT_GE(overlapping, 500) << m.picture;
        EXPECT_LE(worst, m.mode == 1 ? 2 : 3) << m.picture;
    }
}

// Mode 0 and every value the menu never sets draw the floor without shadows:
// exactly the floor of an empty scene, with the balls on top.
class RenderNoShadowTest : public RenderShadowTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(RenderNoShadowTest, FloorIsNotDarkened)
{
    const std::vector<uint8_t> emptyFloor = Render(0);
    HangOneBall();
    AddSphere(CVector(-15.0f, -20.0f, 10.0f), 5.0f);
    const std::vector<uint8_t> reference = Render(0);
    const std::vector<uint8_t> frame = Render(GetParam());
    SavePicture(frame, "no_shadows_mode_" + std::to_string(GetParam()));

    const std::vector<SPixelClass> classes = ClassifyPixels();
    int floorPixels = 0, darkened = 0, shadowSpots = 0;
    for (size_t i = 0; i < classes.size(); ++i)
    {
        if (classes[i].kind != EPixelKind::kFloor)
        {
            continue;
        }
        ++floorPixels;
        shadowSpots += (classes[i].shadow0 || classes[i].shadow1) ? 1 : 0;
        darkened += Rgb(frame, i) != Rgb(emptyFloor, i) ? 1 : 0;
    }
    EXPECT_GT(floorPixels, 100000);
    EXPECT_GT(shadowSpots, 1000); // where a shadow would have fallen
    EXPECT_EQ(darkened, 0);
    EXPECT_TRUE(frame == reference) << "differs from mode 0";
}

INSTANTIATE_TEST_SUITE_P(Modes, RenderNoShadowTest, ::testing::Values(0, 3, -1, 100),
                         [](const auto& info)
                         {
                             return info.param < 0 ? "ModeMinus" + std::to_string(-info.param)
                                                   : "Mode" + std::to_string(info.param);
                         });

// Whatever the mode, a frame leaves the enables, the stencil and the lighting
// as the start state has them for the next one.
class RenderStateTest : public RenderShadowTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(RenderStateTest, FrameLeavesTheStartState)
{
    HangOneBall();
    Render(GetParam(), 1);
    for (const GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_DEPTH_TEST, GL_STENCIL_TEST,
                             GL_BLEND, GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T})
    {
        EXPECT_FALSE(glIsEnabled(cap)) << std::hex << cap;
    }
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLboolean colourMask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
    EXPECT_TRUE(colourMask[0] && colourMask[1] && colourMask[2] && colourMask[3]);
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_TRUE(depthMask);
    GLint stencilWriteMask = 0;
    glGetIntegerv(GL_STENCIL_WRITEMASK, &stencilWriteMask);
    EXPECT_EQ(stencilWriteMask & 0xFF, 0xFF); // the next frame's clear reaches every bit
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The next frame starts clean: the same picture again.
    const std::vector<uint8_t> first = Render(GetParam(), 1);
    EXPECT_TRUE(Render(GetParam(), 1) == first);
}

const char* const kShadowModeNames[] = {"None", "Fake", "True"};

INSTANTIATE_TEST_SUITE_P(Modes, RenderStateTest, ::testing::Values(0, 1, 2),
                         [](const auto& info)
                         { return std::string(kShadowModeNames[info.param]); });
} // namespace
