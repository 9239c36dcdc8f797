#include "../src/TreeMemory.h"
#include "xmltree/XMLDocument.h"
#include "xmltree/XMLElement.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace xmltree::detail {
namespace {

// Whether the page holding `address` is still mapped into the process.
bool isMapped(const void* address) {
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    auto* page =
        reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(address) & ~(pageSize - 1));
    unsigned char resident = 0;
    return mincore(page, 1, &resident) == 0;
}

TEST(TreeMemory, PartsAreAlignedDistinctAndOutliveTheirMemory) {
    std::vector<std::pair<char*, std::size_t>> parts;
    {
        TreeMemory memory;
        for (std::size_t index = 0; index < 20'000; ++index) {
            const std::size_t size = 1 + index % 97;
            const std::size_t alignment = std::size_t{1} << (index % 5);
            auto* part = static_cast<char*>(memory.allocate(size, alignment));
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(part) % alignment, 0u);
            std::memset(part, static_cast<int>(index % 251), size);
            parts.emplace_back(part, size);
        }
        // One part larger than a block is made of.
        auto* large = static_cast<char*>(memory.allocate(std::size_t{3} << 20, 16));
        std::memset(large, 7, std::size_t{3} << 20);
        parts.emplace_back(large, std::size_t{3} << 20);
    }
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const auto [part, size] = parts[index];
        const char expected = index + 1 == parts.size() ? 7 : static_cast<char>(index % 251);
        ASSERT_EQ(part[0], expected) << index;
        ASSERT_EQ(part[size - 1], expected) << index;
        TreeMemory::deallocate(part, size);
    }
}

// The point of the blocks: memory released goes back to the system at once, block by block,
// while a block with one part left stays.
TEST(TreeMemory, ABlockGoesBackWhenItsLastPartIsReleasedOnAnyThread) {
    TreeMemory memory;
    std::vector<void*> first;
    std::vector<void*> rest;
    for (std::size_t index = 0; index < 40'000; ++index) {
        (index < 20'000 ? first : rest).push_back(memory.allocate(64, 8));
    }
    std::thread([&] {
        for (void* part : first) {
            TreeMemory::deallocate(part, 64);
        }
    }).join();
    EXPECT_FALSE(isMapped(first.front()));
    EXPECT_FALSE(isMapped(first[first.size() / 2]));
    for (std::size_t index = 0; index + 1 < rest.size(); ++index) {
        TreeMemory::deallocate(rest[index], 64);
    }
    EXPECT_TRUE(isMapped(rest.back()));
    TreeMemory::deallocate(rest.back(), 64);
}

// A read tree lives in such memory: its elements and attributes read, copy and release as any.
TEST(TreeMemory, ReadTreesReleaseTheirMemoryAndCopiesOfTheirPartsStand) {
    std::string text = "<root>";
    for (int index = 0; index < 5000; ++index) {
        text += "<clip ref=\"r" + std::to_string(index) + "\" name=\"Clip " +
                std::to_string(index) + "\" offset=\"" + std::to_string(index) + "s\"/>";
    }
    text += "</root>";
    auto document = XMLDocument::fromText(text, XMLOptions::standard());
    std::weak_ptr<XMLElement> firstClip = document->root()->children().front();
    const XMLElement::Attributes copied = document->root()->children()[42]->attributes();
    const XMLElement::Ptr held = document->root()->children()[4999];
    ASSERT_TRUE(isMapped(firstClip.lock().get()));
    const void* firstAddress = firstClip.lock().get();

    document.reset();
    EXPECT_TRUE(firstClip.expired());
    // A weak reference keeps an element's place, as with any std::shared_ptr made in one piece.
    EXPECT_TRUE(isMapped(firstAddress));
    firstClip.reset();
    EXPECT_FALSE(isMapped(firstAddress));
    EXPECT_EQ(copied.find("name"), "Clip 42");
    EXPECT_EQ(held->attribute("ref"), "r4999");
    EXPECT_EQ(held->parent(), nullptr);
}

} // namespace
} // namespace xmltree::detail
