#pragma once

#include "timecode/CMTime.h"

#include <optional>
#include <string_view>

namespace timecode {

/// FCPXML time strings as the interchange engine reads and writes them.
struct CMTimeString {
    /// The lenient reader used for every time attribute of a document: "0s" is the zero time;
    /// otherwise every "s" is dropped, and "value/timescale" (pieces between the first and the
    /// last "/" are ignored, empty pieces skipped) or a lone "value" (timescale 1) is read, with
    /// an optional "+" or "-" on each number. Absent when a number does not read, and also when
    /// the timescale is 0 or negative: such a time cannot be divided by, so the attribute is
    /// treated as unusable rather than handed on as a time that poisons later arithmetic.
    static std::optional<CMTime> parse(std::string_view string);
};

} // namespace timecode
