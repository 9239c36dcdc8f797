#pragma once

#include "timecode/TimecodeValidationError.h"

#include <cstdint>
#include <limits>

namespace timecode::detail {

// Timecode arithmetic runs in 128 bits: components of up to 64 bits each, multiplied out into
// frames and sub-frames, cannot overflow there, so only the final narrowing needs a check.
__extension__ using TimecodeWideInt = __int128;

/// The value as a 64-bit integer; throws TimecodeValidationError::outOfBounds when it does not fit.
inline std::int64_t narrowOrThrow(TimecodeWideInt value) {
    if (value > std::numeric_limits<std::int64_t>::max() ||
        value < std::numeric_limits<std::int64_t>::min()) {
        throw TimecodeValidationError::outOfBounds();
    }
    return static_cast<std::int64_t>(value);
}

/// The remainder in [0, modulus), for wrapping a position into a span.
inline TimecodeWideInt euclideanRemainder(TimecodeWideInt value, TimecodeWideInt modulus) {
    const TimecodeWideInt remainder = value % modulus;
    return remainder < 0 ? remainder + modulus : remainder;
}

} // namespace timecode::detail
