#pragma once

#include "timecode/Timecode.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace timecode {

/// A timecode with a sign, for positions before a start (the time module counts them so).
struct SignedTimecode {
    enum class Sign : std::uint8_t {
        plus,
        minus,
    };

    Timecode timecode;
    Sign sign = Sign::plus;

    /// The timecode's plain string form, preceded by "-" when the sign is minus and the
    /// timecode is not zero.
    std::string stringValue() const;
    std::string description() const { return stringValue(); }

    friend constexpr bool operator==(const SignedTimecode&,
                                     const SignedTimecode&) noexcept = default;
};

} // namespace timecode
