#pragma once

#include <cstdint>

namespace timecode {

/// What a creation does with input that gives components out of range. A creation that is given
/// no rule throws TimecodeValidationError instead.
enum class TimecodeValidationRule : std::uint8_t {
    /// A position before zero becomes zero; one beyond the span becomes its last sub-frame.
    clamping,
    /// Each out-of-range component is brought to the nearest value valid for it on its own.
    clampingComponents,
    /// A position outside the span comes back into it by whole spans: one frame before zero is
    /// the last frame of the span, the span's length is zero.
    wrapping,
    /// The components are kept as computed.
    allowingInvalid,
};

} // namespace timecode
