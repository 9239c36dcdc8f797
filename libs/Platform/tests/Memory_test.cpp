#include "platform/Memory.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mman.h>

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

} // namespace
} // namespace platform
