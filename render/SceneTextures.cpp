#include "render/SceneTextures.h"

#include <GL/gl.h>

#include "render/DataFiles.h"
#include "render/StartupState.h"
#include "render/Texture.h"

namespace
{
std::unique_ptr<CTexture> Read(const std::string& path)
{
    return std::make_unique<CTexture>(path, GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT);
}
} // namespace

CSceneTextures::CSceneTextures()
    : m_body(Read(FindDataFile("body.bmp"))), m_floor(Read(FindDataFile("floor.bmp"))),
      m_environment(Read(FindDataFile("env.bmp")))
{
    Install();
}

CSceneTextures::CSceneTextures(const std::string& folder)
    : m_body(Read(folder + "/body.bmp")), m_floor(Read(folder + "/floor.bmp")),
      m_environment(Read(folder + "/env.bmp"))
{
    Install();
}

CSceneTextures::~CSceneTextures()
{
    g_bodyTexture = nullptr;
    g_floorTexture = nullptr;
    g_envTexture = nullptr;
}

void CSceneTextures::Install()
{
    g_bodyTexture = m_body.get();
    g_floorTexture = m_floor.get();
    g_envTexture = m_environment.get();
}
