#include "render/Texture.h"

#include "render/BmpReader.h"
#include "render/ImageFile.h"
#include "render/Platform.h"
#include "render/SgiReader.h"
#include "render/TextureSupport.h"

#include <GL/gl.h>

namespace
{
void Show(const SImageMessage& message)
{
    Platform().MessageBox(message.caption, message.text, message.buttons, message.icon);
}

const char* GlString(GLenum name)
{
    return reinterpret_cast<const char*>(glGetString(name));
}
} // namespace

CTexture::CTexture(const std::string& fileName, int magFilter, int minFilter, int wrapT, int wrapS)
    : magFilter(magFilter), minFilter(minFilter), wrapT(wrapT), wrapS(wrapS)
{
    Load(fileName);
    Upload();
}

int32_t CTexture::Load(const std::string& fileName)
{
    switch (ImageFileTypeOf(fileName))
    {
    case EImageFileType::kSgi:
        return LoadSgi(fileName);
    case EImageFileType::kBmp:
        return LoadBmp(fileName);
    case EImageFileType::kUnknown:
        break;
    }
    this->fileName = fileName;
    return Take(RefuseFileType(fileName));
}

int32_t CTexture::LoadBmp(const std::string& fileName)
{
    FreeImage();
    this->fileName = fileName;
    return Take(ReadBmpFile(fileName));
}

int32_t CTexture::LoadSgi(const std::string& fileName)
{
    FreeImage();
    this->fileName = fileName;
    return Take(ReadSgiFile(fileName));
}

int32_t CTexture::Take(SImageLoad&& load)
{
    if (load.message)
    {
        Show(*load.message);
    }
    if (load.result != kLoadOk)
    {
        return load.result;
    }
    width = load.width;
    height = load.height;
    components = 4;
    pixels = std::move(load.pixels);
    return kLoadOk;
}

void CTexture::FreeImage()
{
    if (!pixels.empty())
    {
        pixels = std::vector<uint8_t>();
        width = 0;
        height = 0;
    }
}

bool CTexture::CheckUploadable()
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const std::string reason =
        TextureSizeRefusal(width, height, GlString(GL_VERSION), GlString(GL_EXTENSIONS), largest);
    if (reason.empty())
    {
        return true;
    }
    Platform().MessageBox("Error", fileName + "\n\n" + reason, EMessageButtons::kOk,
                          EMessageIcon::kError);
    FreeImage();
    components = 0;
    return false;
}

void CTexture::Upload()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint name = 0;
    glGenTextures(1, &name);
    textureName = name;
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
    // Without an image there is nothing to specify: a zero-sized level with
    // internal format 0 would only raise GL_INVALID_VALUE. The texture stays
    // incomplete, and an incomplete texture leaves surfaces untextured.
    if (pixels.empty() || !CheckUploadable())
    {
        return;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, components, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
}

void CTexture::Bind() const
{
    glBindTexture(GL_TEXTURE_2D, textureName);
}
