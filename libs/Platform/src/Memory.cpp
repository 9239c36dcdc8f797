#include "platform/Memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace platform {

void Memory::preferLargePages(void* address, std::size_t length) noexcept {
#ifdef MADV_HUGEPAGE
    // Transparent huge pages on Linux are 2 MiB; the hint applies to whole ones only.
    constexpr std::uintptr_t largePage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(address);
    if (address == nullptr || length < largePage || start > UINTPTR_MAX - length) {
        return;
    }
    const std::uintptr_t first = (start + largePage - 1) & ~(largePage - 1);
    const std::uintptr_t end = (start + length) & ~(largePage - 1);
    if (first < end) {
        (void)madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
#else
    (void)address;
    (void)length;
#endif
}

} // namespace platform
