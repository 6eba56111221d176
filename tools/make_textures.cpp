// clatterbox-make-textures DIRECTORY: paints the project's three textures and
// writes them as DIRECTORY/body.bmp, floor.bmp and env.bmp (256 x 256 pixels,
// uncompressed 24-bit bitmaps).

#include "tools/BmpWriter.h"
#include "tools/StandardOutput.h"
#include "tools/TextureArt.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: clatterbox-make-textures DIRECTORY\n");
        return 2;
    }
    constexpr int kSize = 256; // pixels, a power of two as OpenGL 1.1 needs
    const std::string directory = argv[1];
    const struct
    {
        const char* name;
        SRgbImage image;
    } pictures[] = {
        {"body.bmp", PaintBody(kSize)},
        {"floor.bmp", PaintFloor(kSize)},
        {"env.bmp", PaintEnvironment(kSize)},
    };
    for (const auto& picture : pictures)
    {
        const std::string file = directory + "/" + picture.name;
        std::string reason;
        if (!WriteBmp(file, picture.image, reason))
        {
            std::fprintf(stderr, "clatterbox-make-textures: cannot write %s: %s\n", file.c_str(),
                         reason.c_str());
            return 1;
        }
        std::printf("wrote %s\n", file.c_str());
    }
    return FinishStandardOutput("clatterbox-make-textures", 0);
}
