#include "render/StartupState.h"

int32_t g_stencilBits = 0;
bool g_separateSpecular = false;
CTexture* g_bodyTexture = nullptr;
CTexture* g_floorTexture = nullptr;
CTexture* g_envTexture = nullptr;
