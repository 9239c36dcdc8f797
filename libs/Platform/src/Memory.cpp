#include "platform/Memory.h"

#include <atomic>
#include <cstdint>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/mman.h>
#include <unistd.h>

namespace platform {

namespace {

std::uintptr_t pageSize() noexcept {
    static const auto size = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    return size;
}

std::atomic<std::size_t> mappedBytes{0};

} // namespace

void* Memory::mapBlock(std::size_t size, std::size_t alignment) noexcept {
    if (size == 0 || alignment == 0 || (alignment & (alignment - 1)) != 0 ||
        size > SIZE_MAX - alignment) {
        return nullptr;
    }
    // Mapped with room to slide to the alignment; what lies before and after is handed back.
    const std::size_t mapped = size + alignment;
    void* const area =
        mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) {
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t aligned = (start + alignment - 1) & ~(std::uintptr_t{alignment} - 1);
    if (aligned > start) {
        (void)munmap(area, aligned - start);
    }
    const std::uintptr_t end = aligned + size;
    const std::uintptr_t mappedEnd = start + mapped;
    const std::uintptr_t pageEnd = (end + pageSize() - 1) & ~(pageSize() - 1);
    if (mappedEnd > pageEnd) {
        (void)munmap(reinterpret_cast<void*>(pageEnd), mappedEnd - pageEnd);
    }
    mappedBytes.fetch_add(size, std::memory_order_relaxed);
    return reinterpret_cast<void*>(aligned);
}

void Memory::unmapBlock(void* block, std::size_t size) noexcept {
    if (block != nullptr) {
        mappedBytes.fetch_sub(size, std::memory_order_relaxed);
        (void)munmap(block, size);
    }
}

std::size_t Memory::mappedBlockBytes() noexcept {
    return mappedBytes.load(std::memory_order_relaxed);
}

void Memory::returnLargeBlocksPromptly() noexcept {
#if defined(__GLIBC__)
    // glibc's own starting value; setting it at all is what stops it from moving.
    constexpr int largeBlock = 128 * 1024;
    (void)mallopt(M_MMAP_THRESHOLD, largeBlock);
#endif
}

} // namespace platform
