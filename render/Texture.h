#pragma once
// One image file turned into an OpenGL 2D texture with fixed filters and wrap
// modes. It loads and uploads once, in its constructor, which must run with a
// rendering context current. A file that cannot be used is reported once in a
// message box and leaves a texture name with no image, which binds harmlessly.

#include <cstdint>
#include <string>
#include <vector>

struct SImageLoad;

class CTexture
{
public:
    // The four modes are OpenGL enumerants (GL_LINEAR, GL_REPEAT, ...).
    CTexture(const std::string& fileName, int magFilter, int minFilter, int wrapT, int wrapS);
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    // Each returns kLoadOk, E_FAIL or E_OUTOFMEMORY and has shown its box on
    // failure.
    int32_t Load(const std::string& fileName);
    int32_t LoadBmp(const std::string& fileName);
    int32_t LoadSgi(const std::string& fileName);
    void FreeImage();

    // Creates the texture name and, when an image is held that this OpenGL
    // can take, its level-0 image. No mipmaps.
    void Upload();
    void Bind() const;

    int32_t width = 0;      // pixels
    int32_t height = 0;     // pixels
    int32_t components = 0; // 4 once an image is loaded
    // width * height * 4 bytes, RGBA, rows bottom to top; empty before a load
    // and after a failed one. Kept after the upload.
    std::vector<uint8_t> pixels;
    uint32_t textureName = 0; // OpenGL texture object
    int magFilter;
    int minFilter;
    int wrapT;
    int wrapS;
    std::string fileName; // the file last loaded, for the upload's messages

private:
    int32_t Take(SImageLoad&& load);
    // Shows why the held image cannot be uploaded and drops it; true when it
    // can.
    bool CheckUploadable();
};
