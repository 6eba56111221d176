#include "render/FreedMemory.h"

#include <malloc.h>

namespace
{
// The C library's own threshold, as it stands before anyone sets one.
constexpr int kDefaultTrimBytes = 128 * 1024;
} // namespace

void KeepFreedMemory(bool keep)
{
    // One drawing thread sets it; -1: never set, the library's own choice.
    static int s_kept = -1;
    const int wanted = keep ? 1 : 0;
    if (s_kept == wanted || (s_kept < 0 && !keep))
    {
        return;
    }
    mallopt(M_TRIM_THRESHOLD, keep ? kKeptFreedBytes : kDefaultTrimBytes);
    s_kept = wanted;
}
