// Memory for arrays of a megabyte and more (the record store of a file, the points of its
// traces) on huge pages where the system offers them. Every fresh 4 KiB page costs a fault
// when first written; a store of a million records has about twenty thousand, which take
// longer than reading the numbers that fill them. Under a virtual machine a fault costs
// tens of microseconds, so even the 4 MB store of a 16001-record 4-port file, read while
// the window starts, took a thousand of them.
#pragma once

#include <cstddef>
#include <new>

// Blocks from this size on are mapped on their own and offered huge pages (at most half of
// the last one left unused); smaller ones come from operator new.
constexpr std::size_t LARGE_BLOCK_BYTES = std::size_t(1) << 20;

// A block of bytes aligned for any type; throws std::bad_alloc.
void* AllocateBlock(std::size_t bytes);
// Gives back a block of AllocateBlock, with the size it was asked for.
void FreeBlock(void* block, std::size_t bytes) noexcept;

// An allocator for std::vector that takes large blocks through AllocateBlock.
template <class T>
class CLargeBlockAllocator {
public:
    using value_type = T;

    CLargeBlockAllocator() = default;
    template <class U>
    CLargeBlockAllocator(const CLargeBlockAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T*>(AllocateBlock(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreeBlock(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const CLargeBlockAllocator<U>&) const noexcept
    {
        return true;
    }
    template <class U>
    bool operator!=(const CLargeBlockAllocator<U>&) const noexcept
    {
        return false;
    }
};
