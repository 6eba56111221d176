#pragma once
// Writes rendered frames as opaque 8-bit RGB PNG files, so that pictures from
// the headless tests and tools can be looked at. The image data is stored
// uncompressed (deflate "stored" blocks), so no compression library is needed.

#include <cstdint>
#include <string>
#include <vector>

// The encoded file: rgba holds width * height * 4 bytes, rows from the bottom
// of the picture to its top as glReadPixels returns them; alpha is dropped.
std::vector<uint8_t> EncodePng(int width, int height, const uint8_t* rgba);

// Writes the file atomically (render/OutputFile.h). False when the size is
// not positive or the file cannot be written, with the reason.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba,
              std::string& reason);
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba);
