#include "koltutils/UTF8.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace koltutils {

namespace {

// Every Unicode White_Space character, UTF-8 encoded: what counts as whitespace and line
// breaks when text is trimmed.
constexpr std::array<std::string_view, 25> unicodeWhitespace{
    " ",
    "\t",
    "\n",
    "\v",
    "\f",
    "\r",
    "\xC2\x85",
    "\xC2\xA0",
    "\xE1\x9A\x80",
    "\xE2\x80\x80",
    "\xE2\x80\x81",
    "\xE2\x80\x82",
    "\xE2\x80\x83",
    "\xE2\x80\x84",
    "\xE2\x80\x85",
    "\xE2\x80\x86",
    "\xE2\x80\x87",
    "\xE2\x80\x88",
    "\xE2\x80\x89",
    "\xE2\x80\x8A",
    "\xE2\x80\xA8",
    "\xE2\x80\xA9",
    "\xE2\x80\xAF",
    "\xE2\x81\x9F",
    "\xE3\x80\x80",
};

std::size_t leadingWhitespaceLength(std::string_view text) noexcept {
    for (std::string_view space : unicodeWhitespace) {
        if (text.starts_with(space)) {
            return space.size();
        }
    }
    return 0;
}

std::size_t trailingWhitespaceLength(std::string_view text) noexcept {
    for (std::string_view space : unicodeWhitespace) {
        if (text.ends_with(space)) {
            return space.size();
        }
    }
    return 0;
}

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

std::string_view UTF8::trimmingWhitespace(std::string_view text) noexcept {
    while (std::size_t length = leadingWhitespaceLength(text)) {
        text.remove_prefix(length);
    }
    while (std::size_t length = trailingWhitespaceLength(text)) {
        text.remove_suffix(length);
    }
    return text;
}

} // namespace koltutils
