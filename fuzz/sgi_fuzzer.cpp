// libFuzzer target: any bytes as an SGI image.

#include "fuzz/FuzzChecks.h"
#include "render/SgiReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemorySource source(data, size);
    CheckImageLoad(ReadSgi(source), size);
    return 0;
}
