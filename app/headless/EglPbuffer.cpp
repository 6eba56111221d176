#include "app/headless/EglPbuffer.h"

#include <EGL/eglext.h>

#include <vector>

namespace
{
int ConfigAttribute(EGLDisplay display, EGLConfig config, EGLint attribute)
{
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

std::string LastError(const char* call)
{
    return std::string(call) + ": " + EglErrorText(eglGetError());
}
} // namespace

std::string EglErrorText(EGLint error)
{
    switch (error)
    {
    case EGL_SUCCESS:
        return "EGL_SUCCESS";
    case EGL_NOT_INITIALIZED:
        return "EGL_NOT_INITIALIZED";
    case EGL_BAD_ACCESS:
        return "EGL_BAD_ACCESS";
    case EGL_BAD_ALLOC:
        return "EGL_BAD_ALLOC";
    case EGL_BAD_ATTRIBUTE:
        return "EGL_BAD_ATTRIBUTE";
    case EGL_BAD_CONFIG:
        return "EGL_BAD_CONFIG";
    case EGL_BAD_CONTEXT:
        return "EGL_BAD_CONTEXT";
    case EGL_BAD_CURRENT_SURFACE:
        return "EGL_BAD_CURRENT_SURFACE";
    case EGL_BAD_DISPLAY:
        return "EGL_BAD_DISPLAY";
    case EGL_BAD_MATCH:
        return "EGL_BAD_MATCH";
    case EGL_BAD_NATIVE_PIXMAP:
        return "EGL_BAD_NATIVE_PIXMAP";
    case EGL_BAD_NATIVE_WINDOW:
        return "EGL_BAD_NATIVE_WINDOW";
    case EGL_BAD_PARAMETER:
        return "EGL_BAD_PARAMETER";
    case EGL_BAD_SURFACE:
        return "EGL_BAD_SURFACE";
    case EGL_CONTEXT_LOST:
        return "EGL_CONTEXT_LOST";
    default:
        return "EGL error " + std::to_string(error);
    }
}

CEglPbuffer::~CEglPbuffer()
{
    if (m_display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_context != EGL_NO_CONTEXT)
        eglDestroyContext(m_display, m_context);
    if (m_surface != EGL_NO_SURFACE)
        eglDestroySurface(m_display, m_surface);
    // The display stays initialised: EGL hands every caller the same display
    // and does not count initialisations, so terminating it here would pull it
    // from under any other framebuffer still alive in the process.
    eglReleaseThread();
}

bool CEglPbuffer::OpenDisplay(std::string& error)
{
    // The surfaceless platform needs no X server, no DRM device and no window.
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr)
    {
        error = "eglGetPlatformDisplayEXT is not available";
        return false;
    }
    m_display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (m_display == EGL_NO_DISPLAY)
    {
        error = LastError("eglGetPlatformDisplayEXT");
        return false;
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(m_display, &major, &minor) != EGL_TRUE)
    {
        error = LastError("eglInitialize");
        m_display = EGL_NO_DISPLAY;
        return false;
    }
    return true;
}

bool CEglPbuffer::ChooseConfig(const SPixelFormat& request, std::string& error)
{
    const EGLint attributes[] = {EGL_SURFACE_TYPE,    EGL_PBUFFER_BIT,   EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,      EGL_RED_SIZE,      request.redBits,
                                 EGL_GREEN_SIZE,      request.greenBits, EGL_BLUE_SIZE,
                                 request.blueBits,    EGL_ALPHA_SIZE,    request.alphaBits,
                                 EGL_DEPTH_SIZE,      request.depthBits, EGL_STENCIL_SIZE,
                                 request.stencilBits, EGL_NONE};
    EGLint count = 0;
    if (eglChooseConfig(m_display, attributes, nullptr, 0, &count) != EGL_TRUE)
    {
        error = LastError("eglChooseConfig");
        return false;
    }
    if (count == 0)
    {
        error = "no EGL config offers the requested colour, depth and stencil sizes";
        return false;
    }
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    eglChooseConfig(m_display, attributes, configs.data(), count, &count);

    // EGL sorts deeper colour first; the program expects true colour of 8 bits
    // a channel, as a window would get.
    m_config = configs[0];
    for (EGLConfig config : configs)
    {
        if (ConfigAttribute(m_display, config, EGL_RED_SIZE) == 8 &&
            ConfigAttribute(m_display, config, EGL_GREEN_SIZE) == 8 &&
            ConfigAttribute(m_display, config, EGL_BLUE_SIZE) == 8)
        {
            m_config = config;
            break;
        }
    }
    m_granted.redBits = ConfigAttribute(m_display, m_config, EGL_RED_SIZE);
    m_granted.greenBits = ConfigAttribute(m_display, m_config, EGL_GREEN_SIZE);
    m_granted.blueBits = ConfigAttribute(m_display, m_config, EGL_BLUE_SIZE);
    m_granted.alphaBits = ConfigAttribute(m_display, m_config, EGL_ALPHA_SIZE);
    m_granted.depthBits = ConfigAttribute(m_display, m_config, EGL_DEPTH_SIZE);
    m_granted.stencilBits = ConfigAttribute(m_display, m_config, EGL_STENCIL_SIZE);
    // A pbuffer has a single buffer; swapping it does nothing.
    m_granted.doubleBuffer = false;
    return true;
}

bool CEglPbuffer::CreateSurface(int width, int height, std::string& error)
{
    if (width <= 0 || height <= 0)
    {
        error = "the framebuffer must be at least one pixel wide and high, not " +
                std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    const EGLint attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    m_surface = eglCreatePbufferSurface(m_display, m_config, attributes);
    if (m_surface == EGL_NO_SURFACE)
    {
        error = LastError("eglCreatePbufferSurface");
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

bool CEglPbuffer::CreateContext(std::string& error)
{
    // Desktop OpenGL, not OpenGL ES: the drawing is fixed-function GL 1.1.
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE)
    {
        error = LastError("eglBindAPI");
        return false;
    }
    m_context = eglCreateContext(m_display, m_config, EGL_NO_CONTEXT, nullptr);
    if (m_context == EGL_NO_CONTEXT)
    {
        error = LastError("eglCreateContext");
        return false;
    }
    if (!MakeCurrent())
    {
        error = LastError("eglMakeCurrent");
        return false;
    }
    return true;
}

bool CEglPbuffer::MakeCurrent() const
{
    return eglMakeCurrent(m_display, m_surface, m_surface, m_context) == EGL_TRUE;
}
