#pragma once

#include <cstddef>
#include <string_view>

namespace koltutils {

// Well-formed UTF-8 as the system reads it: no stray continuation bytes, overlong forms,
// surrogates or code points past U+10FFFF.
struct UTF8 {
    // The length of the well-formed sequence that starts at `text[index]`, or 0 when there is
    // none there (`index` must lie inside `text`).
    static std::size_t sequenceLength(std::string_view text, std::size_t index) noexcept;
    static bool isValid(std::string_view text) noexcept;

    // `text` without its leading and trailing white space and line breaks: every character
    // Unicode marks White_Space (the no-break and ideographic spaces, U+0085, U+2028 and U+2029
    // among them), not only ASCII's.
    static std::string_view trimmingWhitespace(std::string_view text) noexcept;
};

} // namespace koltutils
