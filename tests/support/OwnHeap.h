#pragma once
// The bytes the program holds through operator new: every object and
// container of its own, while the C allocations of the OpenGL driver (Mesa
// is written in C) stay out of the count. Counts only in test executables
// that link tests/support/OwnHeap.cpp, which replaces the global operator
// new and delete.

#include <cstddef>

// Bytes allocated with operator new and not yet deleted, as the allocator
// sized the blocks.
size_t OwnHeapBytes();
