// libFuzzer target: any bytes as a Windows bitmap.

#include "fuzz/FuzzChecks.h"
#include "render/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemorySource source(data, size);
    const SImageLoad load = ReadBmp(source, "fuzz.bmp");
    CheckImageLoad(load, size);
    if (load.result == kLoadOk)
    {
        // The pixel offset may point anywhere, even into the headers, as long
        // as the pixels lie inside the file.
        FuzzRequire(size >= 54 && size >= static_cast<size_t>(load.width) * load.height * 3,
                    "a bitmap holds its headers and its pixels");
    }
    return 0;
}
