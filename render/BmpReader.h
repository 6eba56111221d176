#pragma once
// The reader of uncompressed 24-bit Windows bitmaps: bottom-up rows of
// blue, green, red bytes with no row padding, turned into RGBA with alpha 128.

#include "render/ImageLoad.h"
#include "render/ImageSource.h"

#include <string>

// fileName only names the file in the messages.
SImageLoad ReadBmp(IImageSource& source, const std::string& fileName);

// Opens fileName ("Could not open file." when it cannot) and reads it.
SImageLoad ReadBmpFile(const std::string& fileName);
