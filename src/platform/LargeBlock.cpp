#include "platform/LargeBlock.h"

#include <sys/mman.h>
#include <cstdint>

namespace {

// The size of a huge page on x86-64 and most ARM systems; where it is another, the block is
// still aligned to it and the kernel uses what it has.
constexpr std::size_t HUGE_PAGE = std::size_t(2) << 20;

std::size_t RoundUp(std::size_t bytes)
{
    return (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
}

}  // namespace

void* AllocateBlock(std::size_t bytes)
{
    if (bytes < LARGE_BLOCK_BYTES)
        return ::operator new(bytes);
    if (bytes > static_cast<std::size_t>(-1) - 2 * HUGE_PAGE)
        throw std::bad_alloc();
    // A mapping one huge page longer, cut back to the aligned part: huge pages only fill
    // whole aligned stretches.
    const std::size_t size = RoundUp(bytes);
    void* mapped =
        mmap(nullptr, size + HUGE_PAGE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
    if (aligned > start)
        munmap(mapped, aligned - start);
    const std::size_t tail = start + HUGE_PAGE - aligned;
    if (tail > 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(block, size, MADV_HUGEPAGE);  // only advice: without huge pages it still works
#endif
    return block;
}

void FreeBlock(void* block, std::size_t bytes) noexcept
{
    if (!block)
        return;
    if (bytes < LARGE_BLOCK_BYTES) {
        ::operator delete(block);
        return;
    }
    munmap(block, RoundUp(bytes));
}
