// The shapes' tessellations as OpenGL receives them, caught in feedback mode
// in a headless context: vertex positions and texture coordinates in object
// coordinates, and how many triangles each shape is made of.

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dynamics/Body.h"
#include "dynamics/FastSqrt.h"
#include "shapes/Shape.h"
#include "support/HeadlessGLTest.h"

namespace
{
struct SFeedbackVertex
{
    float x, y, z; // object coordinates
    float s, t;    // texture coordinates
};

// One polygon as OpenGL rasterises it.
using Polygon = std::vector<SFeedbackVertex>;

class ShapeGeometryTest : public CHeadlessGLTest
{
protected:
    static constexpr float kDepth = 100.0f; // half depth of the view volume

    void SetUp() override
    {
        CHeadlessGLTest::SetUp();
        BuildSqrtTable();
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        // One window unit per object unit, origin at the window centre.
        glOrtho(-kWidth / 2.0, kWidth / 2.0, -kHeight / 2.0, kHeight / 2.0, -kDepth, kDepth);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
    }

    // Runs draw in feedback mode and maps the window coordinates back.
    template <typename Draw> std::vector<Polygon> Capture(Draw draw)
    {
        std::vector<GLfloat> buffer(400000);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint used = glRenderMode(GL_RENDER);
        EXPECT_GE(used, 0) << "feedback buffer overflow";

        std::vector<Polygon> polygons;
        constexpr int kPerVertex = 3 + 4 + 4; // position, RGBA, STRQ
        for (GLint i = 0; i < used;)
        {
            const GLint token = static_cast<GLint>(buffer[i++]);
            if (token != GL_POLYGON_TOKEN)
            {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
            const int count = static_cast<int>(buffer[i++]);
            Polygon polygon;
            for (int v = 0; v < count; ++v, i += kPerVertex)
            {
                const GLfloat* f = &buffer[i];
                polygon.push_back({f[0] - kWidth / 2.0f, f[1] - kHeight / 2.0f,
                                   -(2.0f * f[2] - 1.0f) * kDepth, f[7], f[8]});
            }
            polygons.push_back(polygon);
        }
        return polygons;
    }

    static int Triangles(const std::vector<Polygon>& polygons)
    {
        int triangles = 0;
        for (const Polygon& p : polygons)
        {
            triangles += static_cast<int>(p.size()) - 2;
        }
        return triangles;
    }
};

struct SCylinderCase
{
    float radius, halfLength;
    int segments;
};

TEST_F(ShapeGeometryTest, CylinderUses32SegmentsOnlyWhenTwiceTheRadiusReachesTheHalfLength)
{
    const SCylinderCase cases[] = {
        {1.0f, 2.0f, 32}, {0.999f, 2.0f, 16}, {3.0f, 0.5f, 32}, {0.5f, 5.0f, 16}};
    for (const auto& c : cases)
    {
        const CCylinder cylinder(nullptr, c.radius, c.halfLength, 1.0f);
        const auto polygons = Capture([&] { cylinder.DrawGeometry(); });
        // A side strip of 2N triangles and two fans of N.
        EXPECT_EQ(Triangles(polygons), 4 * c.segments) << c.radius << " " << c.halfLength;
    }
}

TEST_F(ShapeGeometryTest, CylinderSideAndCapsCarryTheirTextureMapping)
{
    const float r = 4.0f, h = 3.0f;
    const CCylinder cylinder(nullptr, r, h, 1.0f);
    const auto polygons = Capture([&] { cylinder.DrawGeometry(); });
    ASSERT_EQ(Triangles(polygons), 128);
    int side = 0, top = 0, bottom = 0;
    for (const Polygon& p : polygons)
    {
        // A cap triangle has all three corners at one end.
        const bool capTop = p[0].z > h - 1e-3f && p[1].z > h - 1e-3f && p[2].z > h - 1e-3f;
        const bool capBottom = p[0].z < -h + 1e-3f && p[1].z < -h + 1e-3f && p[2].z < -h + 1e-3f;
        for (const SFeedbackVertex& v : p)
        {
            const float radial = std::sqrt(v.x * v.x + v.y * v.y);
            if (capTop || capBottom)
            {
                if (radial < 1e-3f)
                {
                    EXPECT_NEAR(v.s, 0.5f, 1e-5f);
                    EXPECT_NEAR(v.t, 0.5f, 1e-5f);
                    continue;
                }
                EXPECT_NEAR(radial, r, 1e-3f);
                // An ellipse half a unit wide and one unit high; the bottom is
                // mirrored in y so that both caps show the texture upright
                // from outside.
                EXPECT_NEAR(v.s, 0.5f + 0.25f * v.x / r, 1e-4f);
                const float expectedT = capTop ? 0.5f - 0.5f * v.y / r : 0.5f + 0.5f * v.y / r;
                EXPECT_NEAR(v.t, expectedT, 1e-4f);
            }
            else
            {
                EXPECT_NEAR(radial, r, 1e-3f);
                // t is 0 along the top rim and 1 along the bottom one.
                EXPECT_NEAR(v.t, v.z > 0.0f ? 0.0f : 1.0f, 1e-6f);
                float angle = std::atan2(v.y, v.x);
                if (angle < 0.0f)
                {
                    angle += 6.2831855f;
                }
                // s runs once round, from 0 at +x; the seam carries s = 1.
                const float s = angle / 6.2831855f;
                const bool onSeam = std::fabs(v.y) < 1e-3f && v.x > 0.0f;
                EXPECT_TRUE(std::fabs(v.s - s) < 1e-4f || onSeam) << v.s << " vs " << s;
            }
        }
        (capTop ? top : capBottom ? bottom : side) += 1;
    }
    EXPECT_EQ(side, 64);
    EXPECT_EQ(top, 32);
    EXPECT_EQ(bottom, 32);
}

TEST_F(ShapeGeometryTest, TorusIs32StripsOf16AndItsTextureRepeatsTwiceRoundTheRing)
{
    const float r = 1.5f, R = 6.0f;
    const CTorus torus(nullptr, r, R, 1.0f);
    const auto polygons = Capture([&] { torus.DrawGeometry(); });
    EXPECT_EQ(Triangles(polygons), 32 * 2 * 16);
    float maxT = 0.0f, maxS = 0.0f;
    for (const Polygon& p : polygons)
    {
        for (const SFeedbackVertex& v : p)
        {
            const float ring = std::sqrt(v.x * v.x + v.y * v.y) - R;
            EXPECT_NEAR(ring * ring + v.z * v.z, r * r, 2e-3f);
            // s goes round the tube: s = 1/4 at the top of the tube.
            if (std::fabs(v.s - 0.25f) < 1e-6f)
            {
                EXPECT_NEAR(v.z, r, 1e-3f);
            }
            // t = 1 half way round the ring (theta = pi, the -x side).
            if (std::fabs(v.t - 1.0f) < 1e-6f)
            {
                EXPECT_LT(v.x, 0.0f);
                EXPECT_NEAR(v.y, 0.0f, 1e-3f);
            }
            maxT = std::fmax(maxT, v.t);
            maxS = std::fmax(maxS, v.s);
        }
    }
    EXPECT_FLOAT_EQ(maxT, 2.0f);
    EXPECT_FLOAT_EQ(maxS, 1.0f);
}

TEST_F(ShapeGeometryTest, SphereIsATexturedQuadricOfItsRadius)
{
    const float r = 5.0f;
    const CSphere sphere(nullptr, r, 1.0f);
    const auto polygons = Capture([&] { sphere.DrawGeometry(); });
    ASSERT_FALSE(polygons.empty());
    float minS = 1.0f, maxS = 0.0f, minT = 1.0f, maxT = 0.0f;
    size_t vertices = 0;
    for (const Polygon& p : polygons)
    {
        for (const SFeedbackVertex& v : p)
        {
            EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), r, 2e-3f);
            minS = std::fmin(minS, v.s);
            maxS = std::fmax(maxS, v.s);
            minT = std::fmin(minT, v.t);
            maxT = std::fmax(maxT, v.t);
            ++vertices;
        }
    }
    // Texture coordinates switched on: they span the whole image.
    EXPECT_FLOAT_EQ(minS, 0.0f);
    EXPECT_FLOAT_EQ(maxS, 1.0f);
    EXPECT_FLOAT_EQ(minT, 0.0f);
    EXPECT_FLOAT_EQ(maxT, 1.0f);
    // 24 slices by 12 stacks; a textured GLU sphere draws every stack, the
    // two at the poles too, as a strip of quads.
    EXPECT_EQ(Triangles(polygons), 24 * 12 * 2);
}

TEST_F(ShapeGeometryTest, DrawPlacesTheGeometryByTheShapeMatrixAndInvisibleShapesDrawNothing)
{
    CSphere sphere(nullptr, 1.0f, 1.0f);
    sphere.matrix.SetTranslation(10.0f, -20.0f, 5.0f);
    const auto placed = Capture([&] { sphere.Draw(); });
    ASSERT_FALSE(placed.empty());
    for (const Polygon& p : placed)
    {
        for (const SFeedbackVertex& v : p)
        {
            const float dx = v.x - 10.0f, dy = v.y + 20.0f, dz = v.z - 5.0f;
            EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 1.0f, 2e-3f);
        }
    }
    // Draw leaves the modelview matrix as it found it.
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(modelview[12], 0.0f);

    sphere.visible = 0;
    EXPECT_TRUE(Capture([&] { sphere.Draw(); }).empty());
}
} // namespace
