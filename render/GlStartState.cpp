#include "render/GlStartState.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>
#include <string_view>

#include "render/StartupState.h"
#include "render/ViewRay.h"

#ifndef GL_LIGHT_MODEL_COLOR_CONTROL
#define GL_LIGHT_MODEL_COLOR_CONTROL 0x81F8
#endif
#ifndef GL_SEPARATE_SPECULAR_COLOR
#define GL_SEPARATE_SPECULAR_COLOR 0x81FA
#endif

namespace
{
const char* OrEmpty(const char* text)
{
    return text != nullptr ? text : "";
}

const char* GlString(GLenum name)
{
    return OrEmpty(reinterpret_cast<const char*>(glGetString(name)));
}

// "1.x...": the third character is the minor version.
bool IsVersion1Minor(const char* version, char minor)
{
    const std::string_view v(OrEmpty(version));
    return v.size() >= 3 && v[0] == '1' && v[2] == minor;
}
} // namespace

bool IsOpenGl10(const char* version)
{
    return IsVersion1Minor(version, '0');
}

bool HasGlExtension(const char* extensions, const char* name)
{
    const std::string_view list(OrEmpty(extensions));
    const std::string_view wanted(OrEmpty(name));
    if (wanted.empty())
    {
        return false;
    }
    std::size_t start = 0;
    while (start < list.size())
    {
        std::size_t end = list.find(' ', start);
        if (end == std::string_view::npos)
        {
            end = list.size();
        }
        if (list.substr(start, end - start) == wanted)
        {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool WantsSeparateSpecular(const char* version, const char* renderer, const char* extensions)
{
    const std::string_view r(OrEmpty(renderer));
    // Kept off on these boards whatever their version or extensions claim.
    if (r == "RIVA TNT/PCI" || r == "RIVA TNT/AGP")
    {
        return false;
    }
    return IsVersion1Minor(version, '2') ||
           HasGlExtension(extensions, "GL_EXT_separate_specular_color") ||
           HasGlExtension(extensions, "GL_ARB_separate_specular_color");
}

void ApplyStartState()
{
    ApplyStartState(GlString(GL_VERSION), GlString(GL_RENDERER), GlString(GL_EXTENSIONS));
}

void ApplyStartState(const char* version, const char* renderer, const char* extensions)
{
    static constexpr float kFullAmbient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kFullAmbient);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHT1);

    g_separateSpecular = WantsSeparateSpecular(version, renderer, extensions);
    if (g_separateSpecular)
    {
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    }

    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glDisable(GL_STENCIL_TEST);
    glClearStencil(0);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

void ApplyProjection(int width, int height)
{
    glViewport(0, 0, width, height);
    if (height > 0)
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(kFieldOfViewDegrees,
                       static_cast<double>(width) / static_cast<double>(height), 1.0, 1000.0);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
