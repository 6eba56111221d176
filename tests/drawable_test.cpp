// Drawables: their display lists are compiled once, replayed without
// recompiling, and deleted with their owner; the material list draws the
// geometry once with separate specular colour and twice without it; the
// reflection list is an unlit additive sphere map.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <ostream>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/Drawable.h"
#include "render/Floor.h"
#include "render/GlStartState.h"
#include "render/StartupState.h"
#include "render/Texture.h"
#include "tests/support/RenderScene.h"

namespace
{
// A square facing +z over most of the viewport when drawn under identity
// matrices, counting how often its geometry is emitted.
class CCountingDrawable : public CDrawable
{
public:
    CCountingDrawable() : CDrawable(nullptr) {}
    void DrawGeometry() override
    {
        ++geometryCalls;
        glBegin(GL_TRIANGLE_STRIP);
        glNormal3f(0.0f, 0.0f, 1.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-0.8f, -0.8f, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(0.8f, -0.8f, 0.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-0.8f, 0.8f, 0.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(0.8f, 0.8f, 0.0f);
        glEnd();
    }
    int geometryCalls = 0;
};

std::array<uint8_t, 3> BlackTexel(int, int)
{
    return {0, 0, 0};
}
std::array<uint8_t, 3> WhiteTexel(int, int)
{
    return {255, 255, 255};
}

class DrawableTest : public CHeadlessGLTest
{
protected:
    void SetUp() override
    {
        CHeadlessGLTest::SetUp();
        ApplyStartState();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const std::filesystem::path directory = ProcessTextureDirectory();
        WriteTestBitmap(directory / "black.bmp", 8, 8, BlackTexel);
        WriteTestBitmap(directory / "white.bmp", 8, 8, WhiteTexel);
        black = std::make_unique<CTexture>((directory / "black.bmp").string(), GL_LINEAR, GL_LINEAR,
                                           GL_REPEAT, GL_REPEAT);
        white = std::make_unique<CTexture>((directory / "white.bmp").string(), GL_LINEAR, GL_LINEAR,
                                           GL_REPEAT, GL_REPEAT);
        ASSERT_TRUE(platform.MessageBoxes().empty());
        separateSpecularAtStart = g_separateSpecular;
    }
    void TearDown() override
    {
        g_separateSpecular = separateSpecularAtStart;
        CHeadlessGLTest::TearDown();
    }

    // Polygons that reach the rasteriser while draw() runs.
    static int PolygonsDrawnBy(const std::function<void()>& draw)
    {
        std::vector<GLfloat> buffer(4096);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint used = glRenderMode(GL_RENDER);
        EXPECT_GE(used, 0) << "feedback buffer overflow";
        int polygons = 0;
        for (GLint i = 0; i < used;)
        {
            const GLint token = static_cast<GLint>(buffer[i]);
            if (token == GL_POLYGON_TOKEN)
            {
                ++polygons;
                i += 2 + 3 * static_cast<GLint>(buffer[i + 1]);
            }
            else
            {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
        }
        return polygons;
    }

    std::unique_ptr<CTexture> black;
    std::unique_ptr<CTexture> white;
    bool separateSpecularAtStart = false;
};

struct SListCase
{
    const char* name;
    bool separateSpecular;
    bool reflection;
    int geometryCalls;    // while compiling
    int materialPolygons; // each strip of two triangles is two polygons
};

// ctest lists each case by this, not by its bytes.
void PrintTo(const SListCase& c, std::ostream* out)
{
    *out << c.name;
}

class DrawableListTest : public DrawableTest, public ::testing::WithParamInterface<SListCase>
{
};

TEST_P(DrawableListTest, ListsAreCompiledOnceAndDeletedWithTheirOwner)
{
    const SListCase& c = GetParam();
    g_separateSpecular = c.separateSpecular;
    auto drawable = std::make_unique<CCountingDrawable>();
    drawable->texture = white.get();
    drawable->environmentTexture = c.reflection ? white.get() : nullptr;
    drawable->Prepare();
    EXPECT_EQ(drawable->geometryCalls, c.geometryCalls);

    const std::vector<unsigned> lists = {drawable->geometryList, drawable->materialList,
                                         drawable->environmentList};
    EXPECT_TRUE(glIsList(lists[0]));
    EXPECT_TRUE(glIsList(lists[1]));
    EXPECT_NE(lists[0], lists[1]);
    if (c.reflection)
    {
        EXPECT_TRUE(glIsList(lists[2]));
    }
    else
    {
        EXPECT_EQ(lists[2], 0u);
    }

    // Replaying draws from the lists and never emits the geometry again.
    EXPECT_EQ(PolygonsDrawnBy([&] { drawable->DrawBare(); }), 2);
    EXPECT_EQ(PolygonsDrawnBy([&] { drawable->Draw(); }), c.materialPolygons);
    EXPECT_EQ(PolygonsDrawnBy([&] { drawable->DrawEnvironment(); }), c.reflection ? 2 : 0);
    EXPECT_EQ(drawable->geometryCalls, c.geometryCalls);

    drawable.reset();
    for (const unsigned list : lists)
    {
        if (list != 0)
        {
            EXPECT_FALSE(glIsList(list)) << list;
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DrawableListTest,
    ::testing::Values(SListCase{"OnePassWithSeparateSpecular", true, false, 2, 2},
                      SListCase{"TwoPassesWithoutSeparateSpecular", false, false, 3, 4},
                      SListCase{"OnePassAndReflection", true, true, 3, 2},
                      SListCase{"TwoPassesAndReflection", false, true, 4, 4}),
    [](const ::testing::TestParamInfo<SListCase>& info) { return info.param.name; });

TEST_F(DrawableTest, PreparingAgainReplacesTheLists)
{
    CCountingDrawable drawable;
    drawable.environmentTexture = white.get();
    drawable.Prepare();
    const unsigned first[3] = {drawable.geometryList, drawable.materialList,
                               drawable.environmentList};
    drawable.Prepare();
    for (const unsigned list : first)
    {
        const bool reused = list == drawable.geometryList || list == drawable.materialList ||
                            list == drawable.environmentList;
        EXPECT_TRUE(reused || !glIsList(list)) << list << " leaked";
    }
}

// A surface facing a light head-on with a black texture: only the specular
// highlight can show, and both material forms must leave it untextured.
TEST_F(DrawableTest, BothMaterialFormsAddTheHighlightUntextured)
{
    static constexpr float kLightDirection[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    static constexpr float kLightSpecular[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    static constexpr float kNoLight[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    static constexpr float kNoAmbient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const bool offered = g_separateSpecular;
    for (const bool separate : {true, false})
    {
        if (separate && !offered)
        {
            continue; // this context has no separate specular colour
        }
        g_separateSpecular = separate;
        CCountingDrawable drawable;
        drawable.texture = black.get();
        drawable.specular[0] = drawable.specular[1] = drawable.specular[2] = 1.0f;
        drawable.shininess = 0.0f;
        drawable.Prepare();

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kNoAmbient);
        glLightfv(GL_LIGHT0, GL_POSITION, kLightDirection);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, kNoLight);
        glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_DEPTH_TEST);
        drawable.Draw();
        glPopAttrib();

        const std::array<uint8_t, 4> centre = Pixel(kWidth / 2, kHeight / 2);
        for (int k = 0; k < 3; ++k)
        {
            EXPECT_NEAR(centre[k], 128, 2) << (separate ? "one pass" : "two passes");
        }
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLboolean depthMask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        EXPECT_TRUE(depthMask);
    }
}

// The reflection adds the texture scaled by (0.3, 0.3, 0.25), whatever the
// lighting: over black, a white map gives that colour.
TEST_F(DrawableTest, ReflectionIsAnUnlitAdditiveOverlay)
{
    CCountingDrawable drawable;
    drawable.environmentTexture = white.get();
    drawable.Prepare();

    glClearColor(0.2f, 0.2f, 0.2f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_LIGHTING); // no light enabled: a lit surface would be black
    drawable.DrawEnvironment();
    const std::array<uint8_t, 4> centre = Pixel(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(centre[0], 51 + 77, 2);
    EXPECT_NEAR(centre[1], 51 + 77, 2);
    EXPECT_NEAR(centre[2], 51 + 64, 2);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_LIGHTING);
}

TEST_F(DrawableTest, FloorHasTwoListsAndTheFloorTexture)
{
    g_floorTexture = white.get();
    CFloor floor(nullptr);
    g_floorTexture = nullptr;
    floor.Prepare();
    EXPECT_EQ(floor.texture, white.get());
    EXPECT_EQ(floor.environmentTexture, nullptr);
    EXPECT_TRUE(glIsList(floor.geometryList));
    EXPECT_TRUE(glIsList(floor.materialList));
    EXPECT_EQ(floor.environmentList, 0u);

    // Seen from above under the start state's culling, its strip is two
    // triangles; from below, none.
    glMatrixMode(GL_PROJECTION);
    glOrtho(-50, 50, -70, 70, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    EXPECT_EQ(PolygonsDrawnBy([&] { floor.DrawBare(); }), 2);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(PolygonsDrawnBy([&] { floor.DrawBare(); }), 0);
}
} // namespace
