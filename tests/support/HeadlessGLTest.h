#pragma once
// Test fixtures for code that needs the host or a current OpenGL context.
//
//   class CPlatformTest : public ::testing::Test    // scripted host installed
//       platform: CHeadlessPlatform, installed with SetPlatform for the test;
//                 clock at 0 ms, no key down, no answers queued.
//
//   class CHeadlessGLTest : public CPlatformTest     // plus a current GL context
//       gl: CHeadlessGL of kWidth x kHeight pixels (EGL surfaceless, llvmpipe,
//           8/8/8 colour, depth 24, stencil 8), current for the whole test;
//       Pixel(x, y): RGBA of one pixel, (0, 0) at the bottom left;
//       ReadPixels(): the whole framebuffer, rows bottom up.
//
//   TEST_F(CHeadlessGLTest, FloorIsLit) { ...draw...; EXPECT_GT(Pixel(320, 100)[1], 40); }
//
// For another size derive and pass it: `CHeadlessGLTest(256, 256)`.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/headless/HeadlessGL.h"
#include "app/headless/HeadlessPlatform.h"
#include "render/Platform.h"

class CPlatformTest : public ::testing::Test
{
protected:
    void SetUp() override { SetPlatform(&platform); }
    void TearDown() override { SetPlatform(nullptr); }

    CHeadlessPlatform platform;
};

class CHeadlessGLTest : public CPlatformTest
{
protected:
    static constexpr int kWidth = 640;  // pixels
    static constexpr int kHeight = 480; // pixels

    CHeadlessGLTest() : CHeadlessGLTest(kWidth, kHeight) {}
    CHeadlessGLTest(int width, int height) : gl(std::make_unique<CHeadlessGL>(width, height)) {}

    std::vector<uint8_t> ReadPixels() const { return gl->ReadPixels(); }

    std::array<uint8_t, 4> Pixel(int x, int y) const
    {
        const std::vector<uint8_t> pixels = gl->ReadPixels();
        const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(gl->Width()) + x) * 4;
        return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
    }

    std::unique_ptr<CHeadlessGL> gl;
};
