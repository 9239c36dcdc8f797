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

    // From now on, for the whole process, a large allocation gets pages of its own that go back
    // to the system when it is freed. glibc otherwise raises that threshold after the first large
    // free (a document's text, read and parsed) and from then on keeps every later large block,
    // and the holes they leave, in a heap it never shrinks. The system's allocator elsewhere
    // already works this way. Call it at start-up, before other threads run.
    static void returnLargeBlocksPromptly() noexcept;
};

} // namespace platform
