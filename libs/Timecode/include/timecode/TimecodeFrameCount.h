#pragma once

#include "timecode/TimecodeSubFramesBase.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <variant>

namespace timecode {

/// A position counted in frames and sub-frames of a given base. The position is held in the form
/// it was given (`value()`); whole frames and sub-frames are derived from it once, on creation.
class TimecodeFrameCount {
public:
    /// Whole frames, no sub-frames.
    struct Frames {
        std::int64_t frames = 0;
        friend bool operator==(const Frames&, const Frames&) = default;
    };
    /// Whole frames and sub-frames of the base.
    struct Split {
        std::int64_t frames = 0;
        std::int64_t subFrames = 0;
        friend bool operator==(const Split&, const Split&) = default;
    };
    /// Fractional frames: whole frames are the value truncated toward zero, sub-frames its
    /// fractional part times the base, truncated. The fractional part is taken from the shortest
    /// decimal text of the double, so 1.57 frames at base 100 has 57 sub-frames, not 56.
    struct Combined {
        double frames = 0;
        friend bool operator==(const Combined&, const Combined&) = default;
    };
    /// Whole frames plus a fraction of a frame from 0 to 1; sub-frames are that fraction times
    /// the base, truncated.
    struct SplitUnitInterval {
        std::int64_t frames = 0;
        double subFramesUnitInterval = 0;
        friend bool operator==(const SplitUnitInterval&, const SplitUnitInterval&) = default;
    };
    using Value = std::variant<Frames, Split, Combined, SplitUnitInterval>;

    /// Throws TimecodeValidationError::outOfBounds when a double in `value` is not finite or its
    /// whole frames do not fit 64 bits.
    TimecodeFrameCount(Value value, TimecodeSubFramesBase base);

    static TimecodeFrameCount frames(std::int64_t frames, TimecodeSubFramesBase base) {
        return {Frames{frames}, base};
    }
    static TimecodeFrameCount split(std::int64_t frames, std::int64_t subFrames,
                                    TimecodeSubFramesBase base) {
        return {Split{frames, subFrames}, base};
    }
    static TimecodeFrameCount combined(double frames, TimecodeSubFramesBase base) {
        return {Combined{frames}, base};
    }
    static TimecodeFrameCount splitUnitInterval(std::int64_t frames, double unitInterval,
                                                TimecodeSubFramesBase base) {
        return {SplitUnitInterval{frames, unitInterval}, base};
    }

    const Value& value() const noexcept { return value_; }
    TimecodeSubFramesBase subFramesBase() const noexcept { return base_; }
    std::int64_t wholeFrames() const noexcept { return wholeFrames_; }
    std::int64_t subFrames() const noexcept { return subFrames_; }

    /// The exact position in frames as a double: frames + subFrames ÷ base for `Split`, the
    /// payload for `Combined`, frames + the unit interval for `SplitUnitInterval`.
    double doubleValue() const noexcept;

    /// Counts compare by whole frames × base + sub-frames, whatever their form (so a `Combined`
    /// 2.5 equals a `Split` 2 and 50 at base 100).
    friend bool operator==(const TimecodeFrameCount& lhs, const TimecodeFrameCount& rhs) noexcept;
    friend std::strong_ordering operator<=>(const TimecodeFrameCount& lhs,
                                            const TimecodeFrameCount& rhs) noexcept;

    std::size_t hashValue() const noexcept;

private:
    Value value_;
    TimecodeSubFramesBase base_;
    std::int64_t wholeFrames_ = 0;
    std::int64_t subFrames_ = 0;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeFrameCount> {
    std::size_t operator()(const timecode::TimecodeFrameCount& count) const noexcept {
        return count.hashValue();
    }
};
