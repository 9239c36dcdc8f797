#include "platform/Memory.h"

#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace platform {
namespace {

// The hint may reach the kernel for any part of the block: it must never disturb what is there,
// however the block lies against large-page boundaries.
TEST(Memory, LargePageHintKeepsTheContents) {
    std::vector<std::uint8_t> block((std::size_t{9} << 20) + 12345);
    for (std::size_t index = 0; index < block.size(); ++index) {
        block[index] = static_cast<std::uint8_t>(index * 31);
    }
    for (const std::size_t offset : {std::size_t{0}, std::size_t{1}, std::size_t{4095}}) {
        Memory::preferLargePages(block.data() + offset, block.size() - offset);
    }
    Memory::preferLargePages(block.data(), 100);
    Memory::preferLargePages(nullptr, block.size());
    for (std::size_t index = 0; index < block.size(); ++index) {
        ASSERT_EQ(block[index], static_cast<std::uint8_t>(index * 31)) << "at " << index;
    }
}

} // namespace
} // namespace platform
