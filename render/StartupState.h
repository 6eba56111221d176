#pragma once
// What the application learns once at start-up and the drawing reads: the
// stencil depth of the granted framebuffer, whether separate specular colour is
// on, and the three shared textures (created by the application, never freed
// before the process ends; null until loaded).

#include <cstdint>

class CTexture;

extern int32_t g_stencilBits;
extern bool g_separateSpecular;
extern CTexture* g_bodyTexture;
extern CTexture* g_floorTexture;
extern CTexture* g_envTexture;
