#include "TreeMemory.h"

#include <cstdint>
#include <platform/Memory.h>

#if defined(__SANITIZE_ADDRESS__)
#define VELOTRACK_TREE_MEMORY_POISONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELOTRACK_TREE_MEMORY_POISONS 1
#endif
#endif
#ifdef VELOTRACK_TREE_MEMORY_POISONS
#include <sanitizer/asan_interface.h>
#endif

namespace xmltree::detail {

namespace {

// Large enough that a block's bookkeeping is nothing, small enough that a stretch of a document
// let go of returns most of its memory: a few thousand elements.
constexpr std::size_t blockSize = std::size_t{256} << 10;

std::uintptr_t address(const void* pointer) noexcept {
    return reinterpret_cast<std::uintptr_t>(pointer);
}

// The address sanitizer cannot see inside the blocks: what is not handed out is marked
// unreadable for it, so a part used after its release is still reported.
void markUnused(const void* start, std::size_t size) noexcept {
#ifdef VELOTRACK_TREE_MEMORY_POISONS
    ASAN_POISON_MEMORY_REGION(start, size);
#else
    (void)start;
    (void)size;
#endif
}

void markUsed(const void* start, std::size_t size) noexcept {
#ifdef VELOTRACK_TREE_MEMORY_POISONS
    ASAN_UNPOISON_MEMORY_REGION(start, size);
#else
    (void)start;
    (void)size;
#endif
}

} // namespace

// Heads every block. Blocks start at multiples of blockSize and every part begins within the
// first blockSize bytes of its block (a large part's block holds that part alone, right after
// this header), so a part finds its block by rounding its address down.
struct alignas(std::max_align_t) TreeMemory::Block {
    /// The parts in the block, plus one while it is being filled.
    std::atomic<std::size_t> live;
    /// What was mapped, for unmapping.
    std::size_t size;
};

TreeMemory::~TreeMemory() {
    retireCurrent();
}

void* TreeMemory::allocate(std::size_t size, std::size_t alignment) {
    if (alignment == 0 || alignment > alignof(std::max_align_t) ||
        (alignment & (alignment - 1)) != 0) {
        throw std::bad_alloc();
    }
    const std::size_t room = size + alignment;
    if (room > blockSize / 4 || room < size) {
        // Alone in a block of its own, so that a huge attribute set costs no shared block.
        if (size > SIZE_MAX - sizeof(Block) - blockSize) {
            throw std::bad_alloc();
        }
        Block* block = newBlock(sizeof(Block) + size);
        block->live.store(1, std::memory_order_relaxed);
        markUsed(block + 1, size);
        return block + 1;
    }
    auto at = (address(next_) + alignment - 1) & ~(std::uintptr_t{alignment} - 1);
    if (current_ == nullptr || at + size > address(end_)) {
        retireCurrent();
        current_ = newBlock(blockSize);
        current_->live.store(1, std::memory_order_relaxed);
        next_ = reinterpret_cast<std::byte*>(current_ + 1);
        end_ = reinterpret_cast<std::byte*>(current_) + blockSize;
        at = (address(next_) + alignment - 1) & ~(std::uintptr_t{alignment} - 1);
    }
    next_ = reinterpret_cast<std::byte*>(at + size);
    current_->live.fetch_add(1, std::memory_order_relaxed);
    markUsed(reinterpret_cast<void*>(at), size);
    return reinterpret_cast<void*>(at);
}

void TreeMemory::deallocate(void* part, std::size_t size) noexcept {
    if (part == nullptr) {
        return;
    }
    markUnused(part, size);
    release(reinterpret_cast<Block*>(address(part) & ~(std::uintptr_t{blockSize} - 1)));
}

void TreeMemory::retireCurrent() noexcept {
    if (current_ != nullptr) {
        release(current_);
        current_ = nullptr;
        next_ = end_ = nullptr;
    }
}

TreeMemory::Block* TreeMemory::newBlock(std::size_t size) {
    void* mapped = platform::Memory::mapBlock(size, blockSize);
    if (mapped == nullptr) {
        throw std::bad_alloc();
    }
    // The sanitizer's marks outlive a mapping: clear what an earlier block here may have left.
    markUsed(mapped, size);
    auto* block = new (mapped) Block{{0}, size};
    markUnused(block + 1, size - sizeof(Block));
    return block;
}

void TreeMemory::release(Block* block) noexcept {
    // The last release sees every write made to the block's parts on other threads.
    if (block->live.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        const std::size_t size = block->size;
        block->~Block();
        markUsed(block, size);
        platform::Memory::unmapBlock(block, size);
    }
}

} // namespace xmltree::detail
