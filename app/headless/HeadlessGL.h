#pragma once
// A current OpenGL context on an offscreen framebuffer of a chosen size, for
// tests and tools that draw without a window: EGL surfaceless, llvmpipe,
// desktop GL (compatibility profile), 8 bits a colour channel, depth 24,
// stencil 8. The context stays current until the object is destroyed.
//
//   CHeadlessGL gl(256, 256);           // throws std::runtime_error on failure
//   ... draw with OpenGL ...
//   std::vector<uint8_t> rgba = gl.ReadPixels();  // bottom row first

#include <cstdint>
#include <vector>

#include "app/headless/EglPbuffer.h"

class CHeadlessGL
{
public:
    // width and height in pixels.
    CHeadlessGL(int width, int height);

    int Width() const { return m_pbuffer.Width(); }
    int Height() const { return m_pbuffer.Height(); }
    SPixelFormat Granted() const { return m_pbuffer.Granted(); }

    // The whole framebuffer as RGBA bytes, rows from the bottom up (OpenGL's
    // order); glFinish first.
    std::vector<uint8_t> ReadPixels() const;

private:
    CEglPbuffer m_pbuffer;
};
