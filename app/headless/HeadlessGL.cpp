#include "app/headless/HeadlessGL.h"

#include <GL/gl.h>

#include <stdexcept>

namespace
{
void Check(bool ok, const char* step, const std::string& error)
{
    if (!ok)
        throw std::runtime_error(std::string("headless OpenGL: ") + step + " failed: " + error);
}
} // namespace

CHeadlessGL::CHeadlessGL(int width, int height)
{
    std::string error;
    Check(m_pbuffer.OpenDisplay(error), "opening the EGL display", error);
    Check(m_pbuffer.ChooseConfig(kProgramPixelFormat, error), "choosing a config", error);
    Check(m_pbuffer.CreateSurface(width, height, error), "creating the pbuffer", error);
    Check(m_pbuffer.CreateContext(error), "creating the context", error);
}

std::vector<uint8_t> CHeadlessGL::ReadPixels() const
{
    std::vector<uint8_t> pixels(static_cast<size_t>(Width()) * static_cast<size_t>(Height()) * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width(), Height(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
