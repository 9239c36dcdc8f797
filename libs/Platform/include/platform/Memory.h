#pragma once

#include <cstddef>

namespace platform {

// Hints to the system's virtual memory.
struct Memory {
    Memory() = delete;

    // Asks for large pages behind the large pages that lie wholly inside [address, address +
    // length): for a big block about to be written from one end to the other, one fault per
    // large page then replaces hundreds of small ones. Only a hint: the contents stay as they
    // are, and it does nothing where the system has no such pages or declines.
    static void preferLargePages(void* address, std::size_t length) noexcept;
};

} // namespace platform
