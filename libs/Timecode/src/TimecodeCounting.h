#pragma once

#include "TimecodeWideInt.h"
#include "timecode/Fraction.h"
#include "timecode/TimecodeComponents.h"
#include "timecode/TimecodeFrameRate.h"
#include "timecode/TimecodeProperties.h"

#include <cstdint>

namespace timecode::detail {

/// What label arithmetic needs to know about a frame rate, gathered once.
struct RateCounting {
    std::int64_t labelsPerSecond;  // 24, 30, 60, 120, ...
    std::int64_t droppedPerMinute; // 0, or 2, 4, 8 at drop rates
    std::int64_t framesPer24Hours; // real frames, after drop-frame counting
    double framesPerSecond;        // the rate as a double, for real-time conversions
    Fraction frameDuration;        // the table fraction, not reduced
    int frameDigits;               // width of the frames field
    bool isDrop;
};

constexpr RateCounting countingOf(TimecodeFrameRate rate) {
    return RateCounting{
        .labelsPerSecond = maxFrames(rate),
        .droppedPerMinute = framesDroppedPerMinute(rate),
        .framesPer24Hours = maxTotalFrames(rate, TimecodeUpperLimit::max24Hours),
        .framesPerSecond = frameRateForRealTimeCalculation(rate),
        .frameDuration = frameDuration(rate),
        .frameDigits = numberOfDigits(rate),
        .isDrop = isDrop(rate),
    };
}

/// Frames in the whole span of the properties' upper limit.
TimecodeWideInt framesInSpan(const TimecodeProperties& properties);

/// Whole frames of the components' label (sub-frames left out): the label number, less the
/// labels that drop-frame counting skips in every elapsed minute that is not a multiple of ten.
TimecodeWideInt wholeFramesOf(const TimecodeComponents& components, const RateCounting& counting);

/// The label of a whole frame count: the inverse of wholeFramesOf, the published drop-frame count
/// at drop rates. Negative counts give negative components. Throws outOfBounds when a component
/// leaves 64 bits.
TimecodeComponents componentsOf(TimecodeWideInt wholeFrames, std::int64_t subFrames,
                                const RateCounting& counting);

/// Bit i set: the component with raw index i is out of range.
unsigned invalidComponentMask(const TimecodeComponents& components,
                              const TimecodeProperties& properties, const RateCounting& counting);

/// Each component brought into its own valid range, then a skipped drop-frame label moved up to
/// the first label of its second.
TimecodeComponents clampedComponents(const TimecodeComponents& components,
                                     const TimecodeProperties& properties,
                                     const RateCounting& counting);

} // namespace timecode::detail
