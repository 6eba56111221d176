#pragma once
// The reader of SGI image files (".rgb"): verbatim or run-length encoded, one
// byte per channel, words in either byte order. Channels 0, 1 and 2 become
// red, green and blue; a file of one or two channels is grey (its second
// channel, alpha, is dropped like every file's fourth). Every texel gets alpha
// 128.

#include "render/ImageLoad.h"
#include "render/ImageSource.h"

#include <string>

SImageLoad ReadSgi(IImageSource& source);

// Opens fileName ("Failed to open image file ...") and reads it.
SImageLoad ReadSgiFile(const std::string& fileName);
