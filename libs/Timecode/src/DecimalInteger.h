#pragma once

#include <concepts>
#include <limits>
#include <optional>
#include <string_view>

namespace timecode::detail {

enum class LeadingSign { none, minusOnly, plusOrMinus };

/// Reads text that is wholly an optional sign and one or more ASCII digits as an integer of type
/// Int; absent when the text has anything else or the number does not fit. No whitespace.
template <std::signed_integral Int>
constexpr std::optional<Int> parseDecimalInteger(std::string_view text,
                                                 LeadingSign signs) noexcept {
    bool negative = false;
    const bool signAllowed =
        !text.empty() && ((text.front() == '-' && signs != LeadingSign::none) ||
                          (text.front() == '+' && signs == LeadingSign::plusOrMinus));
    if (signAllowed) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // Accumulated on the negative side, which holds the type's minimum as well.
    Int accumulated = 0;
    for (const char character : text) {
        if (character < '0' || character > '9') {
            return std::nullopt;
        }
        const auto digit = static_cast<Int>(character - '0');
        if (__builtin_mul_overflow(accumulated, Int{10}, &accumulated) ||
            __builtin_sub_overflow(accumulated, digit, &accumulated)) {
            return std::nullopt;
        }
    }
    if (negative) {
        return accumulated;
    }
    if (accumulated == std::numeric_limits<Int>::min()) {
        return std::nullopt;
    }
    return static_cast<Int>(-accumulated);
}

} // namespace timecode::detail
