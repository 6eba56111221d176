// What the frame shows beyond the shadows: the reflections only on the bodies,
// no floor from below, and the diagnostic markers.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "render/Diagnostics.h"
#include "shapes/Shape.h"
#include "tests/support/RenderScene.h"

namespace
{
class RenderViewTest : public CRenderSceneTest
{
protected:
    void TearDown() override
    {
        ClearDiagnosticMarkers();
        CRenderSceneTest::TearDown();
    }

    static bool IsMarkerYellow(const std::vector<uint8_t>& rgba, size_t pixel)
    {
        return Rgb(rgba, pixel) == std::array<int, 3>{255, 255, 0};
    }
};

TEST_F(RenderViewTest, EnvironmentMappingOffRemovesOnlyTheReflection)
{
    AddSphere(CVector(0.0f, -20.0f, 12.0f), 8.0f);
    const std::vector<uint8_t> reflecting = Render(2, 1);
    SavePicture(reflecting, "environment_on");
    const std::vector<uint8_t> plain = Render(2, 0);
    SavePicture(plain, "environment_off");

    const std::vector<SPixelClass> classes = ClassifyPixels();
    int bodyPixels = 0, changedBody = 0, darkerWithReflection = 0, changedElsewhere = 0;
    long addedBrightness = 0;
    for (size_t i = 0; i < classes.size(); ++i)
    {
        const std::array<int, 3> on = Rgb(reflecting, i), off = Rgb(plain, i);
        if (classes[i].kind == EPixelKind::kBody)
        {
            ++bodyPixels;
            changedBody += on != off ? 1 : 0;
            for (int k = 0; k < 3; ++k)
            {
                darkerWithReflection += on[k] < off[k] ? 1 : 0;
                addedBrightness += on[k] - off[k];
            }
        }
        else if (classes[i].kind != EPixelKind::kAmbiguous)
        {
            changedElsewhere += on != off ? 1 : 0;
        }
    }
    ASSERT_GT(bodyPixels, 3000);
    EXPECT_GT(changedBody, bodyPixels * 9 / 10);
    EXPECT_EQ(darkerWithReflection, 0); // the overlay only adds
    EXPECT_GT(addedBrightness / (3 * bodyPixels), 20);
    EXPECT_EQ(changedElsewhere, 0);

    // Without the overlay the body shows its material and texture exactly as
    // the same body without an environment texture does.
    const CInertialBody& original = *world->bodies.front();
    auto* twin = new CInertialBody(world.get());
    std::copy(std::begin(original.ambient), std::end(original.ambient), twin->ambient);
    std::copy(std::begin(original.diffuse), std::end(original.diffuse), twin->diffuse);
    std::copy(std::begin(original.specular), std::end(original.specular), twin->specular);
    twin->shininess = original.shininess;
    twin->environmentTexture = nullptr;
    twin->AddShape(new CSphere(twin, 8.0f, 30.0f));
    twin->Prepare();
    twin->matrix.SetTranslation(original.Position());
    world->bodies.clear();
    world->bodies.emplace_back(twin);
    const std::vector<uint8_t> twinFrame = Render(2, 1);
    EXPECT_TRUE(twinFrame == plain);
}

// The floor faces up and back faces are culled: from below it is not drawn.
TEST_F(RenderViewTest, CameraBelowTheFloorDoesNotSeeIt)
{
    const std::vector<uint8_t> above = Render(2);
    int litAbove = 0;
    for (size_t i = 0; i < above.size() / 4; ++i)
    {
        litAbove += Rgb(above, i) != std::array<int, 3>{0, 0, 0} ? 1 : 0;
    }
    EXPECT_GT(litAbove, kWidth * kHeight / 3);

    for (const float eyeZ : {-100.0f, -5.0f})
    {
        world->camera->eye = CVector(0.0f, -150.0f, eyeZ);
        world->camera->UpdateSpherical();
        for (const int mode : {0, 1, 2})
        {
            const std::vector<uint8_t> frame = Render(mode);
            SavePicture(frame, "below_floor_z" + std::to_string(static_cast<int>(eyeZ)) + "_mode" +
                                   std::to_string(mode));
            int drawn = 0;
            for (size_t i = 0; i < frame.size() / 4; ++i)
            {
                drawn += Rgb(frame, i) != std::array<int, 3>{0, 0, 0} ? 1 : 0;
            }
            EXPECT_EQ(drawn, 0) << "eye z " << eyeZ << " mode " << mode;
        }
    }
}

// Markers are unlit yellow spheres among the bodies and cast shadows with
// them; with the list empty none shows in any pass.
TEST_F(RenderViewTest, DiagnosticMarkersShowOnlyWhileListed)
{
    AddSphere(CVector(25.0f, -10.0f, 10.0f), 7.0f);
    for (const int mode : {0, 1, 2})
    {
        const std::vector<uint8_t> frame = Render(mode);
        int yellow = 0;
        for (size_t i = 0; i < frame.size() / 4; ++i)
        {
            yellow += IsMarkerYellow(frame, i) ? 1 : 0;
        }
        EXPECT_EQ(yellow, 0) << "mode " << mode;
    }

    const std::vector<uint8_t> without = Render(2);
    g_diagnosticMarkers.push_back(CVector(-10.0f, -20.0f, 8.0f));
    const std::vector<uint8_t> with = Render(2);
    SavePicture(with, "diagnostic_marker");
    int yellow = 0, changed = 0;
    for (size_t i = 0; i < with.size() / 4; ++i)
    {
        yellow += IsMarkerYellow(with, i) ? 1 : 0;
        changed += Rgb(with, i) != Rgb(without, i) ? 1 : 0;
    }
    // A sphere of radius 0.5 some 170 units away covers a few pixels; its two
    // shadows darken a few more.
    EXPECT_GT(yellow, 0);
    EXPECT_GT(changed, yellow);

    ClearDiagnosticMarkers();
    EXPECT_TRUE(Render(2) == without);
}
} // namespace
