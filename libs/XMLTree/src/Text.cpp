#include "Text.h"

#include <algorithm>
#include <array>
#include <cstddef>

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

} // namespace xmltree::detail
