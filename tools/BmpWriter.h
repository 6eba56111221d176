#pragma once
// Writes uncompressed 24-bit Windows bitmaps, the form the texture reader
// takes: bottom-up rows, no padding, the image size field filled in.

#include <cstdint>
#include <string>
#include <vector>

// A picture being painted: width * height pixels of red, green, blue, rows
// from the bottom (texture t = 0) to the top.
struct SRgbImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    SRgbImage(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {}
    uint8_t* At(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// The whole file. The width times 3 must be a multiple of 4 (no row padding).
std::vector<uint8_t> EncodeBmp(const SRgbImage& image);

// Writes the file atomically (render/OutputFile.h); false with the reason
// when it cannot be written.
bool WriteBmp(const std::string& fileName, const SRgbImage& image, std::string& reason);
