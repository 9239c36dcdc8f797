#pragma once

#include "timecode/TimecodeFrameRate.h"
#include "timecode/TimecodeSubFramesBase.h"
#include "timecode/TimecodeUpperLimit.h"

#include <cstddef>
#include <functional>

namespace timecode {

/// What a timecode is counted in: its frame rate, how finely frames divide and the span it may
/// cover. The defaults are the ones the whole system uses: 100 sub-frames, 24 hours.
struct TimecodeProperties {
    TimecodeFrameRate frameRate;
    TimecodeSubFramesBase subFramesBase = TimecodeSubFramesBase::max100SubFrames;
    TimecodeUpperLimit upperLimit = TimecodeUpperLimit::max24Hours;

    constexpr TimecodeProperties(
        TimecodeFrameRate rate, TimecodeSubFramesBase base = TimecodeSubFramesBase::max100SubFrames,
        TimecodeUpperLimit limit = TimecodeUpperLimit::max24Hours) noexcept
        : frameRate(rate), subFramesBase(base), upperLimit(limit) {}

    friend constexpr bool operator==(const TimecodeProperties&,
                                     const TimecodeProperties&) noexcept = default;

    std::size_t hashValue() const noexcept;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeProperties> {
    std::size_t operator()(const timecode::TimecodeProperties& properties) const noexcept {
        return properties.hashValue();
    }
};
