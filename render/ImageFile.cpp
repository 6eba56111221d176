#include "render/ImageFile.h"

#include "render/BmpReader.h"
#include "render/SgiReader.h"

namespace
{
bool EndsWith(const std::string& name, const char* ending)
{
    const std::string::size_type length = std::char_traits<char>::length(ending);
    return name.size() >= length && name.compare(name.size() - length, length, ending) == 0;
}
} // namespace

EImageFileType ImageFileTypeOf(const std::string& fileName)
{
    if (EndsWith(fileName, ".rgb"))
    {
        return EImageFileType::kSgi;
    }
    if (EndsWith(fileName, ".bmp"))
    {
        return EImageFileType::kBmp;
    }
    return EImageFileType::kUnknown;
}

SImageLoad RefuseFileType(const std::string& fileName)
{
    return RefuseWithError(E_FAIL, fileName + "\n\nInvalid file type.");
}

SImageLoad ReadImageFile(const std::string& fileName)
{
    switch (ImageFileTypeOf(fileName))
    {
    case EImageFileType::kSgi:
        return ReadSgiFile(fileName);
    case EImageFileType::kBmp:
        return ReadBmpFile(fileName);
    case EImageFileType::kUnknown:
        break;
    }
    return RefuseFileType(fileName);
}
