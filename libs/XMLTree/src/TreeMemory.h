#pragma once

#include <atomic>
#include <cstddef>
#include <new>

namespace xmltree::detail {

/// Memory for the elements and attribute sets of one tree as a reader builds it, carved from
/// blocks mapped for the tree alone.
///
/// A reader allocates a tree's parts in document order, so the parts of one stretch of the
/// document share blocks; a block goes back to the system as soon as the last part in it is
/// released. A program that lets a large part of a tree go before the rest (a walk that drops
/// what it has read) then gets that memory back at once, where the C library's heap would keep
/// the pages, scattered among later allocations. A part held after its tree is gone keeps only
/// its own block.
///
/// allocate() is for the one thread that builds; deallocate() may run on any thread.
class TreeMemory {
public:
    TreeMemory() noexcept = default;
    TreeMemory(const TreeMemory&) = delete;
    TreeMemory& operator=(const TreeMemory&) = delete;
    /// Parts already allocated stay valid; each block goes when its last part does.
    ~TreeMemory();

    /// `size` bytes at a multiple of `alignment` (at most alignof(std::max_align_t)); a part
    /// too large for a shared block gets a block of its own. Throws std::bad_alloc.
    [[nodiscard]] void* allocate(std::size_t size, std::size_t alignment);
    /// A part of `size` bytes that allocate() gave, from whichever TreeMemory, alive or gone.
    static void deallocate(void* part, std::size_t size) noexcept;

private:
    struct Block;

    /// Lets go of the block being filled: it no longer waits for parts to come.
    void retireCurrent() noexcept;
    static Block* newBlock(std::size_t size);
    static void release(Block* block) noexcept;

    Block* current_ = nullptr;
    std::byte* next_ = nullptr;
    std::byte* end_ = nullptr;
};

/// The allocator that puts what std::allocate_shared makes (an element and its control block)
/// in a TreeMemory. Deallocation needs no TreeMemory, so the copy each control block keeps may
/// outlive the one that allocated.
template <class T> class TreeAllocator {
    static_assert(alignof(T) <= alignof(std::max_align_t), "a tree's parts are at most so aligned");

public:
    using value_type = T;

    explicit TreeAllocator(TreeMemory& memory) noexcept : memory_(&memory) {}
    template <class U>
    TreeAllocator(const TreeAllocator<U>& other) noexcept // NOLINT(google-explicit-constructor)
        : memory_(other.memory_) {}

    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(memory_->allocate(count * sizeof(T), alignof(T)));
    }
    void deallocate(T* part, std::size_t count) noexcept {
        TreeMemory::deallocate(part, count * sizeof(T));
    }

    template <class U>
    friend bool operator==(const TreeAllocator& lhs, const TreeAllocator<U>& rhs) noexcept {
        return lhs.memory_ == rhs.memory_;
    }

private:
    template <class U> friend class TreeAllocator;
    TreeMemory* memory_;
};

} // namespace xmltree::detail
