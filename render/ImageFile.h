#pragma once
// Picks the reader by the last four characters of a file name, exactly and
// case-sensitively: ".bmp" for Windows bitmaps, ".rgb" for SGI images.

#include "render/ImageLoad.h"

#include <string>

enum class EImageFileType
{
    kBmp,
    kSgi,
    kUnknown,
};

EImageFileType ImageFileTypeOf(const std::string& fileName);

// The refusal of a name with neither ending.
SImageLoad RefuseFileType(const std::string& fileName);

// Reads fileName with the reader its ending chooses.
SImageLoad ReadImageFile(const std::string& fileName);
