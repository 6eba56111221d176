#pragma once
// A world for the pixel tests of the frame passes: the program's start state
// and projection on a 640 x 480 offscreen framebuffer, the start view, the
// textured floor and spheres hung where the test wants them, with small
// generated textures. It renders frames, saves them as PNG beside the test
// executable, and tells for every pixel what the geometry says it shows: off
// the floor, a body, or the floor in or out of each light's shadow.
//
//   class MyTest : public CRenderSceneTest {};
//   TEST_F(MyTest, X) { AddSphere({20, 0, 10}, 5); auto frame = Render(1); ... }

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "dynamics/Body.h"
#include "render/Camera.h"
#include "render/Floor.h"
#include "render/GlStartState.h"
#include "render/PngWriter.h"
#include "render/SceneTextures.h"
#include "render/StartupState.h"
#include "render/Texture.h"
#include "tests/support/HeadlessGLTest.h"
#include "world/World.h"

// RGB of one generated texel.
using TTexelFunction = std::array<uint8_t, 3> (*)(int x, int y);

// Writes a 24-bit uncompressed bitmap of the given size (width * 3 a multiple
// of 4, so that its rows need no padding).
inline void WriteTestBitmap(const std::filesystem::path& path, int width, int height,
                            TTexelFunction texel)
{
    const uint32_t imageSize = static_cast<uint32_t>(width * height * 3);
    std::vector<uint8_t> file(54 + imageSize, 0);
    auto put16 = [&](size_t at, uint32_t v)
    {
        file[at] = static_cast<uint8_t>(v);
        file[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v)
    {
        put16(at, v & 0xFFFFu);
        put16(at + 2, v >> 16);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    size_t at = 54;
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            const std::array<uint8_t, 3> rgb = texel(x, y);
            file[at++] = rgb[2];
            file[at++] = rgb[1];
            file[at++] = rgb[0];
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

// Where the test executable lives: the build tree.
inline std::filesystem::path TestOutputDirectory(const std::string& subdirectory)
{
    const std::filesystem::path directory =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / subdirectory;
    std::filesystem::create_directories(directory);
    return directory;
}

// Texture files are written per process: ctest runs tests side by side, and a
// reader must never see another test's half-written file.
inline std::filesystem::path ProcessTextureDirectory()
{
    return TestOutputDirectory("render_textures/" + std::to_string(getpid()));
}

// A light grey checker: dark enough that a 0.56 shadow stays well above zero,
// light enough that the lit floor does not saturate.
inline std::array<uint8_t, 3> FloorTexel(int x, int y)
{
    return ((x / 8 + y / 8) % 2 == 0) ? std::array<uint8_t, 3>{235, 225, 205}
                                      : std::array<uint8_t, 3>{175, 185, 205};
}

inline std::array<uint8_t, 3> BodyTexel(int x, int)
{
    return (x / 4) % 2 == 0 ? std::array<uint8_t, 3>{255, 255, 255}
                            : std::array<uint8_t, 3>{160, 160, 220};
}

// A bright spot in a darker ring, as a sphere map of a sky over a room.
inline std::array<uint8_t, 3> EnvironmentTexel(int x, int y)
{
    const float dx = (x - 31.5f) / 32.0f, dy = (y - 31.5f) / 32.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    const uint8_t v = static_cast<uint8_t>(r < 0.5f ? 255 : 255 - 150 * std::fmin(1.0f, r));
    return {v, v, v};
}

// What a pixel is expected to show.
enum class EPixelKind
{
    kOffFloor,  // beyond the floor's edges, or the ray misses the floor plane
    kBody,      // a body covers it for certain
    kAmbiguous, // close to an outline (body, shadow or floor edge): not judged
    kFloor,     // the floor, with the shadow bits below
};

struct SPixelClass
{
    EPixelKind kind = EPixelKind::kOffFloor;
    bool shadow0 = false;   // in the shadow of light 0 (directional)
    bool shadow1 = false;   // in the shadow of light 1 (point light)
    int shadow0Casters = 0; // how many bodies throw a light-0 shadow here
    CVector floorPoint;     // world coordinates, z = 0
};

struct SSphereBody
{
    CVector centre;
    float radius;
};

class CRenderSceneTest : public CHeadlessGLTest
{
protected:
    // The two lights of the frame, in world coordinates.
    static constexpr float kLight0[4] = {-1.0f, -1.0f, 5.0f, 0.0f};
    static constexpr float kLight1[4] = {50.0f, 0.0f, 50.0f, 1.0f};

    void SetUp() override
    {
        CHeadlessGLTest::SetUp();
        ApplyStartState();
        ApplyProjection(kWidth, kHeight);

        const std::filesystem::path directory = ProcessTextureDirectory();
        WriteTestBitmap(directory / "floor.bmp", 64, 64, FloorTexel);
        WriteTestBitmap(directory / "body.bmp", 64, 64, BodyTexel);
        WriteTestBitmap(directory / "env.bmp", 64, 64, EnvironmentTexel);
        textures = std::make_unique<CSceneTextures>(directory.string());
        ASSERT_TRUE(platform.MessageBoxes().empty()) << platform.MessageBoxes()[0].text;

        world = std::make_unique<CWorld>();
        world->camera = std::make_unique<CCamera>();
        world->camera->Initialize();
        world->floor = std::make_unique<CFloor>(world.get());
        world->floor->Prepare();
    }

    void TearDown() override
    {
        world.reset();
        textures.reset();
        CHeadlessGLTest::TearDown();
    }

    // A ball of mass 30 hanging still at centre.
    CInertialBody* AddSphere(const CVector& centre, float radius)
    {
        CInertialBody* const body = CreateSphereBody(world.get(), 30.0f, radius);
        body->matrix.SetTranslation(centre);
        world->bodies.emplace_back(body);
        spheres.push_back({centre, radius});
        return body;
    }

    // One frame as the application draws it: clear everything, draw the world.
    std::vector<uint8_t> Render(int shadowMode, int environmentMapping = 1)
    {
        world->shadowMode = shadowMode;
        world->environmentMapping = environmentMapping;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        world->Draw();
        glFlush();
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        return ReadPixels();
    }

    void SavePicture(const std::vector<uint8_t>& rgba, const std::string& name) const
    {
        const std::filesystem::path path = TestOutputDirectory("render_pictures") / (name + ".png");
        EXPECT_TRUE(WritePng(path.string(), kWidth, kHeight, rgba.data())) << path;
    }

    // The classification of every pixel for the view of the last Render.
    std::vector<SPixelClass> ClassifyPixels() const
    {
        std::vector<SPixelClass> classes(static_cast<size_t>(kWidth) * kHeight);
        const CVector eye = world->camera->eye;
        for (int y = 0; y < kHeight; ++y)
        {
            for (int x = 0; x < kWidth; ++x)
            {
                classes[static_cast<size_t>(y) * kWidth + x] = Classify(eye, x, y);
            }
        }
        return classes;
    }

    static std::array<int, 3> Rgb(const std::vector<uint8_t>& rgba, size_t pixel)
    {
        return {rgba[pixel * 4], rgba[pixel * 4 + 1], rgba[pixel * 4 + 2]};
    }

    std::array<double, 16> modelview{};
    std::array<double, 16> projection{};
    std::array<int, 4> viewport{};

    std::unique_ptr<CSceneTextures> textures;
    std::unique_ptr<CWorld> world;
    std::vector<SSphereBody> spheres;

private:
    // The tessellated spheres differ from true ones by a few percent of the
    // radius; judge only what lies clearly inside or outside.
    static constexpr float kInside = 0.9f;
    static constexpr float kOutside = 1.1f;

    // Distance from c to the segment from a to b.
    static float SegmentDistance(const CVector& a, const CVector& b, const CVector& c)
    {
        const CVector ab = b - a;
        float t = Dot(c - a, ab) / Dot(ab, ab);
        t = std::fmax(0.0f, std::fmin(1.0f, t));
        const CVector closest = a + t * ab;
        return std::sqrt((c - closest).LengthSquared());
    }

    // -1 clearly outside every sphere, +1 clearly inside one, 0 close to an outline.
    int SegmentHits(const CVector& a, const CVector& b, int* count = nullptr) const
    {
        int result = -1;
        for (const SSphereBody& sphere : spheres)
        {
            const float d = SegmentDistance(a, b, sphere.centre);
            if (d < kInside * sphere.radius)
            {
                result = 1;
                if (count != nullptr)
                {
                    ++*count;
                }
            }
            else if (d < kOutside * sphere.radius && result < 1)
            {
                result = 0;
            }
        }
        return result;
    }

    SPixelClass Classify(const CVector& eye, int x, int y) const
    {
        SPixelClass c;
        double nx, ny, nz, fx, fy, fz;
        gluUnProject(x + 0.5, y + 0.5, 0.0, modelview.data(), projection.data(), viewport.data(),
                     &nx, &ny, &nz);
        gluUnProject(x + 0.5, y + 0.5, 1.0, modelview.data(), projection.data(), viewport.data(),
                     &fx, &fy, &fz);
        if (!(nz > 0.0 && fz < 0.0))
        {
            return c; // the ray does not come down through the floor plane
        }
        const double t = nz / (nz - fz);
        const CVector p(static_cast<float>(nx + t * (fx - nx)),
                        static_cast<float>(ny + t * (fy - ny)), 0.0f);
        c.floorPoint = p;
        if (std::fabs(p.x) > 40.5f || std::fabs(p.y) > 60.5f)
        {
            c.kind = EPixelKind::kOffFloor;
            // A body may still hang in front of the background.
            if (SegmentHits(eye, p + 10.0f * (p - eye)) == 1)
            {
                c.kind = EPixelKind::kBody;
            }
            return c;
        }
        const int view = SegmentHits(eye, p);
        if (view == 1)
        {
            c.kind = EPixelKind::kBody;
            return c;
        }
        if (view == 0 || std::fabs(p.x) > 39.5f || std::fabs(p.y) > 59.5f)
        {
            c.kind = EPixelKind::kAmbiguous;
            return c;
        }
        const CVector towardsLight0 = p + 1000.0f * CVector(kLight0[0], kLight0[1], kLight0[2]);
        const int hit0 = SegmentHits(p, towardsLight0, &c.shadow0Casters);
        const int hit1 = SegmentHits(p, CVector(kLight1[0], kLight1[1], kLight1[2]));
        if (hit0 == 0 || hit1 == 0)
        {
            c.kind = EPixelKind::kAmbiguous;
            return c;
        }
        c.kind = EPixelKind::kFloor;
        c.shadow0 = hit0 == 1;
        c.shadow1 = hit1 == 1;
        return c;
    }
};
