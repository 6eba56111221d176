#pragma once
// Whether the heap hands memory freed at its top back to the system at once
// or keeps it for the next frame, whose renderer will want it again.

// keep: up to kKeptFreedBytes stay in the process; otherwise the C library's
// default. Only calls the library when the choice changes.
void KeepFreedMemory(bool keep);

inline constexpr int kKeptFreedBytes = 64 * 1024 * 1024;
