// make_seeds DIRECTORY: writes every file of the reader tests' table as a
// starting input, bitmaps into DIRECTORY/bmp and SGI images into
// DIRECTORY/sgi.

#include "tests/support/TextureCases.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make_seeds DIRECTORY\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    int written = 0;
    for (const texture_files::SImageCase& c : texture_files::AllImageCases())
    {
        const std::filesystem::path directory = root / (c.extension == ".bmp" ? "bmp" : "sgi");
        std::filesystem::create_directories(directory);
        std::ofstream out(directory / c.name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(c.bytes.data()),
                  static_cast<std::streamsize>(c.bytes.size()));
        if (!out)
        {
            std::fprintf(stderr, "make_seeds: cannot write %s\n", c.name.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("%d seeds in %s\n", written, root.c_str());
    return 0;
}
