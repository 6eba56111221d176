#pragma once
// Where bodies and shapes live: slots of whole cache lines carved from large
// blocks, one run of blocks per slot size. A step walks every body and its
// shapes several times; from the general heap they lie scattered among the
// renderer's display-list storage, here side by side in creation order.
// Under AddressSanitizer the general heap serves instead, so that it still
// sees every use after free.

#include <cstddef>
#include <new>

// Memory for one object of this many bytes, aligned to a cache line.
void* AllocatePhysicsObject(std::size_t size);
// Takes back what AllocatePhysicsObject gave for the same size.
void FreePhysicsObject(void* object, std::size_t size) noexcept;

// For the containers a step reads with the objects, such as a body's list of
// shapes: their storage then lies among the bodies' too.
template <typename T> struct SPhysicsAllocator
{
    using value_type = T;

    SPhysicsAllocator() = default;
    template <typename U> explicit SPhysicsAllocator(const SPhysicsAllocator<U>& /*other*/) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
        {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(AllocatePhysicsObject(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreePhysicsObject(p, n * sizeof(T)); }

    template <typename U> bool operator==(const SPhysicsAllocator<U>& /*other*/) const noexcept
    {
        return true;
    }
};
