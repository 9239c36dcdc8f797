#include "koltutils/UTF8.h"

#include <cstdint>
#include <cstring>

namespace koltutils {

namespace {

std::uint8_t byteAt(std::string_view text, std::size_t index) noexcept {
    return static_cast<std::uint8_t>(text[index]);
}

// Whether the eight bytes at `index` are all ASCII, which is most of any document.
bool eightASCIIBytes(std::string_view text, std::size_t index) noexcept {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + index, sizeof word);
    return (word & 0x8080808080808080ULL) == 0;
}

} // namespace

std::size_t UTF8::sequenceLength(std::string_view text, std::size_t index) noexcept {
    const std::uint8_t lead = byteAt(text, index);
    if (lead < 0x80) {
        return 1;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || length > text.size() - index) {
        return 0;
    }
    // The second byte's range rules out overlong forms, surrogates and code points past
    // U+10FFFF; the rest only need to be continuation bytes.
    const std::uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const std::uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    const std::uint8_t second = byteAt(text, index + 1);
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t next = index + 2; next < index + length; ++next) {
        if ((byteAt(text, next) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

bool UTF8::isValid(std::string_view text) noexcept {
    std::size_t index = 0;
    while (index < text.size()) {
        if (text.size() - index >= 8 && eightASCIIBytes(text, index)) {
            index += 8;
            continue;
        }
        const std::size_t length = sequenceLength(text, index);
        if (length == 0) {
            return false;
        }
        index += length;
    }
    return true;
}

} // namespace koltutils
