#pragma once

#include <cstddef>

namespace platform {

// Memory straight from the system's virtual memory, beside the C library's heap.
struct Memory {
    Memory() = delete;

    // Pages of their own for a block of `size` bytes starting at a multiple of `alignment` (a
    // power of two): memory that goes back to the system as soon as unmapBlock() releases it,
    // whatever the C library's allocator keeps for itself. Null when the system refuses.
    [[nodiscard]] static void* mapBlock(std::size_t size, std::size_t alignment) noexcept;
    // `block` and `size` as mapBlock() took and gave them.
    static void unmapBlock(void* block, std::size_t size) noexcept;
    // The bytes of the blocks mapped and not yet unmapped, for measurements of a program's
    // memory that count the heap through the allocator and cannot see these.
    [[nodiscard]] static std::size_t mappedBlockBytes() noexcept;
};

} // namespace platform
