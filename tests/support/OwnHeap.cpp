#include "tests/support/OwnHeap.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
// The driver's worker threads allocate too, so the count is atomic.
std::atomic<size_t> g_ownBytes{0};

void* Allocate(size_t size, size_t alignment)
{
    if (size == 0)
        size = 1;
    void* block = nullptr;
    if (alignment <= alignof(std::max_align_t))
        block = std::malloc(size);
    else if (posix_memalign(&block, alignment, size) != 0)
        block = nullptr;
    if (block != nullptr)
        g_ownBytes += malloc_usable_size(block);
    return block;
}

void Release(void* block)
{
    if (block == nullptr)
        return;
    g_ownBytes -= malloc_usable_size(block);
    std::free(block);
}

void* AllocateOrThrow(size_t size, size_t alignment)
{
    void* block = Allocate(size, alignment);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}
} // namespace

size_t OwnHeapBytes()
{
    return g_ownBytes.load();
}

void* operator new(size_t size)
{
    return AllocateOrThrow(size, 0);
}
void* operator new[](size_t size)
{
    return AllocateOrThrow(size, 0);
}
void* operator new(size_t size, std::align_val_t alignment)
{
    return AllocateOrThrow(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment)
{
    return AllocateOrThrow(size, static_cast<size_t>(alignment));
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size, 0);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size, 0);
}
void operator delete(void* block) noexcept
{
    Release(block);
}
void operator delete[](void* block) noexcept
{
    Release(block);
}
void operator delete(void* block, size_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, size_t) noexcept
{
    Release(block);
}
void operator delete(void* block, std::align_val_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::align_val_t) noexcept
{
    Release(block);
}
void operator delete(void* block, size_t, std::align_val_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, size_t, std::align_val_t) noexcept
{
    Release(block);
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return Allocate(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return Allocate(size, static_cast<size_t>(alignment));
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    Release(block);
}
