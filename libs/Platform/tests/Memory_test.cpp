#include "platform/Memory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mman.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {
namespace {

bool isMapped(const void* page) {
    unsigned char resident = 0;
    return mincore(const_cast<void*>(page), 1, &resident) == 0;
}

// Blocks are what a caller counts on for memory it must be able to give back: aligned as asked,
// writable to the last byte, counted while mapped and gone from the process once unmapped.
TEST(Memory, BlocksAreAlignedCountedAndGoBackWhenUnmapped) {
    const std::size_t before = Memory::mappedBlockBytes();
    for (const std::size_t alignment :
         {std::size_t{1} << 12, std::size_t{256} << 10, std::size_t{4} << 20}) {
        const std::size_t size = 3 * alignment + 123;
        auto* block = static_cast<std::byte*>(Memory::mapBlock(size, alignment));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignment, 0u);
        EXPECT_EQ(Memory::mappedBlockBytes(), before + size);
        std::memset(block, 0x5a, size);
        EXPECT_EQ(block[size - 1], std::byte{0x5a});

        Memory::unmapBlock(block, size);
        EXPECT_EQ(Memory::mappedBlockBytes(), before);
        EXPECT_FALSE(isMapped(block));
        EXPECT_FALSE(isMapped(block + size - 1));
    }
}

TEST(Memory, ImpossibleBlocksAreRefused) {
    EXPECT_EQ(Memory::mapBlock(0, 4096), nullptr);
    EXPECT_EQ(Memory::mapBlock(4096, 3 << 12), nullptr);
    EXPECT_EQ(Memory::mapBlock(SIZE_MAX - 10, 4096), nullptr);
    Memory::unmapBlock(nullptr, 4096);
}

// The sanitizers bring allocators of their own, which glibc's settings do not reach.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELOTRACK_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VELOTRACK_SANITIZER_ALLOCATOR 1
#endif
#endif

#if defined(__GLIBC__) && !defined(VELOTRACK_SANITIZER_ALLOCATOR)
void* touchedAllocation(std::size_t size) {
    void* const memory = std::malloc(size);
    std::memset(memory, 1, size);
    // Keeps the compiler from pairing this allocation with its free and dropping both.
    asm volatile("" : : "r"(memory) : "memory");
    return memory;
}

// What stood between a document's load and its memory going back: the document's text, freed,
// had moved glibc's threshold above every block the load made after it.
TEST(Memory, LargeBlocksGoBackWhenFreedEvenAfterALargerOneWas) {
    std::free(touchedAllocation(std::size_t{8} << 20));
    Memory::returnLargeBlocksPromptly();

    const std::size_t before = mallinfo2().hblkhd;
    void* const block = touchedAllocation(std::size_t{1} << 20);
    EXPECT_GE(mallinfo2().hblkhd, before + (std::size_t{1} << 20));
    std::free(block);
    EXPECT_EQ(mallinfo2().hblkhd, before);
}
#endif

} // namespace
} // namespace platform
