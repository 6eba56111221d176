#include "tools/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int FinishStandardOutput(const char* tool, int status)
{
    errno = 0;
    const bool lost = std::ferror(stdout) != 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (!lost && flushed)
        return status;
    // A write that failed before this one has left its error flag, but its
    // reason is gone.
    std::fprintf(stderr, "%s: could not write the standard output: %s\n", tool,
                 errno != 0 ? std::strerror(errno) : "an earlier write to it failed");
    return status == 0 ? 1 : status;
}
