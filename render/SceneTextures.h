#pragma once
// The three textures every picture of the world uses (bodies, floor,
// reflections), read and installed as the drawing's shared textures for as
// long as the object lives. The demo, the tools and the tests all start their
// drawing with it, so a picture is textured the same way everywhere. A file
// that cannot be read is reported through the platform's message box, and its
// texture stays empty, as the demo has always done.

#include <memory>
#include <string>

class CTexture;

class CSceneTextures
{
public:
    // Each file found as the program finds its data: the working directory
    // first, then the folder installed with the program.
    CSceneTextures();
    // Each file read from the given folder.
    explicit CSceneTextures(const std::string& folder);
    // The shared textures are null again.
    ~CSceneTextures();
    CSceneTextures(const CSceneTextures&) = delete;
    CSceneTextures& operator=(const CSceneTextures&) = delete;

private:
    void Install();

    std::unique_ptr<CTexture> m_body;
    std::unique_ptr<CTexture> m_floor;
    std::unique_ptr<CTexture> m_environment;
};
