#pragma once

#include "timecode/CMTime.h"
#include "timecode/Fraction.h"
#include "timecode/TimecodeComponents.h"
#include "timecode/TimecodeFrameCount.h"
#include "timecode/TimecodeFrameRate.h"
#include "timecode/TimecodeProperties.h"
#include "timecode/TimecodeStringFormat.h"
#include "timecode/TimecodeStringParseError.h"
#include "timecode/TimecodeSubFramesBase.h"
#include "timecode/TimecodeUpperLimit.h"
#include "timecode/TimecodeValidationError.h"
#include "timecode/TimecodeValidationRule.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace timecode {

/// A SMPTE-style time label (days, hours, minutes, seconds, frames, sub-frames) counted at one
/// timecode frame rate.
///
/// Error policy: creations take an optional ValidationRule. Without one they throw
/// TimecodeValidationError when the result is not valid (`invalid` for components and strings,
/// `outOfBounds` for times, frame counts and arithmetic); with one they repair or keep the result
/// and do not throw, except for input that has no position at all: text that is not a timecode
/// (TimecodeStringParseError), and times that are not numbers or whose frame count does not fit
/// 64 bits (TimecodeValidationError::outOfBounds). Conversions of a timecode whose components are
/// so large that its frame count leaves 64 bits throw `outOfBounds` too; every arithmetic step is
/// checked, none wraps around.
///
/// Label arithmetic is exact (integers); real-time conversions work in double-precision seconds
/// with a tolerance of 0.00001 frame, so a time a hair below a frame boundary lands on that frame.
struct Timecode {
    using Component = TimecodeComponent;
    using Components = TimecodeComponents;
    using Properties = TimecodeProperties;
    using SubFramesBase = TimecodeSubFramesBase;
    using UpperLimit = TimecodeUpperLimit;
    using FrameCount = TimecodeFrameCount;
    using ValidationError = TimecodeValidationError;
    using StringParseError = TimecodeStringParseError;
    using ValidationRule = TimecodeValidationRule;
    using StringFormatOption = TimecodeStringFormatOption;
    using StringFormat = TimecodeStringFormat;

    Components components;
    Properties properties;

    /// The components as given, valid or not.
    constexpr Timecode(const Components& givenComponents,
                       const Properties& givenProperties) noexcept
        : components(givenComponents), properties(givenProperties) {}
    /// 00:00:00:00 with the given properties.
    constexpr explicit Timecode(const Properties& givenProperties) noexcept
        : properties(givenProperties) {}

    // Creation. `rule` absent: throw when the result is not valid.

    static Timecode fromComponents(const Components& components, const Properties& properties,
                                   std::optional<ValidationRule> rule = std::nullopt);
    static Timecode fromFrames(std::int64_t frames, const Properties& properties,
                               std::optional<ValidationRule> rule = std::nullopt);
    /// A count in another sub-frames base has its sub-frames rescaled (truncated) to this base.
    static Timecode fromFrameCount(const FrameCount& count, const Properties& properties,
                                   std::optional<ValidationRule> rule = std::nullopt);
    /// Seconds × frames per second, moved 0.00001 frame away from zero, truncated to frames and
    /// sub-frames: a time inside a frame lands on that frame.
    static Timecode fromRealTime(double seconds, const Properties& properties,
                                 std::optional<ValidationRule> rule = std::nullopt);
    /// Exact: the rational time times the rate, truncated to frames and sub-frames. A zero
    /// denominator has no position and throws `outOfBounds`.
    static Timecode fromRational(const Fraction& time, const Properties& properties,
                                 std::optional<ValidationRule> rule = std::nullopt);
    /// As fromRational with value over timescale; an invalid, infinite or indefinite time throws
    /// `outOfBounds`.
    static Timecode fromCMTime(const CMTime& time, const Properties& properties,
                               std::optional<ValidationRule> rule = std::nullopt);
    /// "01:00:00:00", "01:00:00;00", "1 01:00:00:00.50", ... Throws TimecodeStringParseError for
    /// text that is not a timecode; the components read are then validated under `rule`.
    static Timecode fromString(std::string_view text, const Properties& properties,
                               std::optional<ValidationRule> rule = std::nullopt);
    /// The real time samples ÷ sampleRate; a sample rate of 0 or below throws `outOfBounds`.
    static Timecode fromSamples(double samples, std::int64_t sampleRate,
                                const Properties& properties,
                                std::optional<ValidationRule> rule = std::nullopt);
    static constexpr Timecode zero(const Properties& properties) noexcept {
        return Timecode(properties);
    }

    // Reading.

    constexpr TimecodeFrameRate frameRate() const noexcept { return properties.frameRate; }
    /// The components out of range for the properties; empty for a valid timecode.
    std::set<Component> invalidComponents() const;
    bool isValid() const noexcept;

    /// Whole frames and sub-frames: the label count, less the labels that drop-frame counting
    /// skips.
    FrameCount frameCount() const;
    /// The frame position × (1 ÷ frames per second), in seconds.
    double realTimeValue() const noexcept;
    /// Frame duration × (whole frames × base + sub-frames) ÷ base, reduced.
    Fraction rationalValue() const;
    /// rationalValue() as a CMTime.
    CMTime cmTimeValue() const;
    /// A CMTime made from realTimeValue() with the frame duration's denominator as the preferred
    /// timescale (24000 at 23.976, 2400 at 24).
    CMTime cmTime() const noexcept;
    /// realTimeValue() × sampleRate rounded half away from zero; 0 when that leaves 64 bits.
    std::int64_t samplesValue(double sampleRate) const noexcept;

    /// "01:00:00:00", "00:59:59;29" (drop rate), "2 00:00:00:00", "01:02:03:04.50", "01-00-00-00".
    std::string stringValue(StringFormat format = {}) const;
    std::string description() const { return stringValue(); }

    // Time-module helpers.

    /// The zero timecode at the same frame rate, with 100 sub-frames and the 24-hour limit.
    constexpr Timecode zero() const noexcept { return Timecode(Properties{frameRate()}); }
    /// With sub-frames: the next whole frame at the same frame rate (100 sub-frames, 24-hour
    /// limit, wrapping past its end). Without: the timecode itself.
    Timecode roundedValue() const;
    /// Moves a timecode with sub-frames to the next whole frame; throws `outOfBounds` when that
    /// frame lies beyond the upper limit.
    void roundUpToNextFrame();

    // Arithmetic at the same frame rate (std::invalid_argument otherwise). The other operand's
    // sub-frames are rescaled to this timecode's base.

    Timecode adding(const Timecode& other, std::optional<ValidationRule> rule = std::nullopt) const;
    Timecode subtracting(const Timecode& other,
                         std::optional<ValidationRule> rule = std::nullopt) const;
    Timecode adding(const FrameCount& offset,
                    std::optional<ValidationRule> rule = std::nullopt) const;
    Timecode subtracting(const FrameCount& offset,
                         std::optional<ValidationRule> rule = std::nullopt) const;

    /// Field-wise: same components and same properties.
    friend constexpr bool operator==(const Timecode&, const Timecode&) noexcept = default;
    /// Position order at the same frame rate; timecodes at different frame rates are unordered.
    friend std::partial_ordering operator<=>(const Timecode& lhs, const Timecode& rhs) noexcept;

    std::size_t hashValue() const noexcept;
};

/// Sum and difference that wrap around the span of the left operand's upper limit, as the time
/// module counts positions.
Timecode operator+(const Timecode& lhs, const Timecode& rhs);
Timecode operator-(const Timecode& lhs, const Timecode& rhs);

} // namespace timecode

template <> struct std::hash<timecode::Timecode> {
    std::size_t operator()(const timecode::Timecode& value) const noexcept {
        return value.hashValue();
    }
};
