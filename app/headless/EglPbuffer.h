#pragma once
// An offscreen OpenGL framebuffer without any display: an EGL pbuffer on Mesa's
// surfaceless platform (llvmpipe), with a desktop (compatibility profile) GL
// context. Built in the steps of a window's start-up so that each can fail on
// its own with EGL's reason.

#include <EGL/egl.h>

#include <string>

#include "app/Host.h"

class CEglPbuffer
{
public:
    CEglPbuffer() = default;
    ~CEglPbuffer();
    CEglPbuffer(const CEglPbuffer&) = delete;
    CEglPbuffer& operator=(const CEglPbuffer&) = delete;

    bool OpenDisplay(std::string& error);
    // Picks the config with at least the requested colour, depth and stencil
    // sizes, preferring exactly 8 bits per colour channel.
    bool ChooseConfig(const SPixelFormat& request, std::string& error);
    bool CreateSurface(int width, int height, std::string& error);
    // Creates the context and makes it current with the surface.
    bool CreateContext(std::string& error);
    bool MakeCurrent() const;

    SPixelFormat Granted() const { return m_granted; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool HasContext() const { return m_context != EGL_NO_CONTEXT; }

private:
    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLConfig m_config = nullptr;
    EGLSurface m_surface = EGL_NO_SURFACE;
    EGLContext m_context = EGL_NO_CONTEXT;
    SPixelFormat m_granted;
    int m_width = 0;  // pixels
    int m_height = 0; // pixels
};

// EGL's name for an error code, such as "EGL_BAD_MATCH".
std::string EglErrorText(EGLint error);
