// clatterbox-image FILE: reads FILE with the texture readers, without OpenGL
// and without any window, and prints
//   ok WIDTHxHEIGHT SHA256      (exit status 0)
// where SHA256 is the lowercase hex digest of the width * height * 4 bytes of
// RGBA the texture would upload, rows bottom to top; or the text of the box
// the loader would have shown (exit status 1).

#include "render/ImageFile.h"
#include "tools/Sha256.h"
#include "tools/StandardOutput.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: clatterbox-image FILE\n");
        return 2;
    }
    const SImageLoad load = ReadImageFile(argv[1]);
    if (load.result != kLoadOk)
    {
        std::printf("%s\n", load.message ? load.message->text.c_str() : "Load failed.");
        return FinishStandardOutput("clatterbox-image", 1);
    }
    std::printf("ok %dx%d %s\n", load.width, load.height,
                Sha256Hex(load.pixels.data(), load.pixels.size()).c_str());
    return FinishStandardOutput("clatterbox-image", 0);
}
