#pragma once

#include <string_view>

namespace xmltree::detail {

/// Whether `text` equals `lowerCase` when its ASCII letters are lower-cased.
bool equalsIgnoringASCIICase(std::string_view text, std::string_view lowerCase) noexcept;

/// `text` without leading and trailing Unicode whitespace and line breaks.
std::string_view trimmedWhitespace(std::string_view text) noexcept;

} // namespace xmltree::detail
