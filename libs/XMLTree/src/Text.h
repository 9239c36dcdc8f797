#pragma once

#include <string_view>

namespace xmltree::detail {

/// Whether `text` equals `lowerCase` when its ASCII letters are lower-cased.
bool equalsIgnoringASCIICase(std::string_view text, std::string_view lowerCase) noexcept;

/// `text` without leading and trailing Unicode whitespace and line breaks.
std::string_view trimmedWhitespace(std::string_view text) noexcept;

/// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or code points past
/// U+10FFFF).
bool isValidUTF8(std::string_view text) noexcept;

} // namespace xmltree::detail
