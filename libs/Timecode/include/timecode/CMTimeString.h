#pragma once

#include "timecode/CMTime.h"
#include "timecode/TimecodeFrameRate.h"

#include <optional>
#include <string>
#include <string_view>

namespace timecode {

struct Timecode;

/// FCPXML time strings as the interchange engine reads and writes them.
struct CMTimeString {
    /// The lenient reader used for every time attribute of a document: "0s" is the zero time;
    /// otherwise every "s" is dropped, and "value/timescale" (pieces between the first and the
    /// last "/" are ignored, empty pieces skipped) or a lone "value" (timescale 1) is read, with
    /// an optional "+" or "-" on each number. Absent when a number does not read, and also when
    /// the timescale is 0 or negative: such a time cannot be divided by, so the attribute is
    /// treated as unusable rather than handed on as a time that poisons later arithmetic.
    static std::optional<CMTime> parse(std::string_view string);

    /// The FCPXML time of the timecode that real time `seconds` lands on at `frameRate` (cut to
    /// a hundredth of a frame, 24-hour limit), always as a reduced ratio: 3600 s at 24 fps is
    /// "3600/1s", zero is "0s". Absent when the time lies outside 24 hours or is no number.
    static std::optional<std::string> create(double seconds, TimecodeFrameRate frameRate);
    /// The same for the sample position seconds × sampleRate counted at the sample rate taken
    /// as a whole number; absent also for a sample rate below 1.
    static std::optional<std::string> create(double seconds, double sampleRate,
                                             TimecodeFrameRate frameRate);
    /// The timecode's rational time written the same way; with `roundToFrame` a timecode with
    /// sub-frames is first moved up to its next whole frame. Absent when that frame lies beyond
    /// the timecode's upper limit.
    static std::optional<std::string> create(const Timecode& timecode, bool roundToFrame);
};

} // namespace timecode
