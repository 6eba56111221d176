#pragma once
// The last step of every tool: its standard output must have reached its
// destination. Output lost to a full disk or a closed pipe is a failure, not
// a silent success.

// Flushes stdout. When it could not be written (now or by an earlier write),
// says so on stderr under the tool's name and returns 1 if status was 0;
// otherwise returns status.
int FinishStandardOutput(const char* tool, int status);
