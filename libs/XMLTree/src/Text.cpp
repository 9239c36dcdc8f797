#include "Text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace xmltree::detail {

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

// Length of the well-formed UTF-8 sequence that starts at `text[index]`, or 0 when there is
// none (stray continuation byte, overlong form, surrogate, beyond U+10FFFF or truncated).
std::size_t utf8SequenceLength(std::string_view text, std::size_t index) noexcept {
    auto byteAt = [text](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    std::uint8_t lead = byteAt(index);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || index + length > text.size()) {
        return 0;
    }
    // The second byte's range rules out overlong forms, surrogates and code points past
    // U+10FFFF; the rest only need to be continuation bytes.
    std::uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    std::uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    std::uint8_t second = byteAt(index + 1);
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t i = index + 2; i < index + length; ++i) {
        if ((byteAt(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

} // namespace

bool equalsIgnoringASCIICase(std::string_view text, std::string_view lowerCase) noexcept {
    return std::ranges::equal(text, lowerCase, [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

std::string_view trimmedWhitespace(std::string_view text) noexcept {
    while (std::size_t length = leadingWhitespaceLength(text)) {
        text.remove_prefix(length);
    }
    while (std::size_t length = trailingWhitespaceLength(text)) {
        text.remove_suffix(length);
    }
    return text;
}

bool isValidUTF8(std::string_view text) noexcept {
    for (std::size_t index = 0; index < text.size();) {
        std::size_t length = utf8SequenceLength(text, index);
        if (length == 0) {
            return false;
        }
        index += length;
    }
    return true;
}

} // namespace xmltree::detail
