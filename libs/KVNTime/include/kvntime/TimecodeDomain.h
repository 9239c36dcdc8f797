#pragma once

#include <optional>
#include <string_view>
#include <timecode/SignedTimecode.h>
#include <timecode/Timecode.h>

namespace kvntime {

// Positions shown as timecode. Every timecode the domain makes is at its properties (the frame
// rate, 100 sub-frames, 24 hours); real times are brought in with the `wrapping` rule, so a
// position past 24 hours starts over at zero.
struct TimecodeDomain {
    bool showSubFrames = false;
    timecode::TimecodeProperties properties{defaultFrameRate()};
    timecode::Timecode masterTimecode{properties};
    std::optional<timecode::Timecode> startTimecode;

    // The frame rate new domains start with: 24 until set. Safe to read and set from any thread.
    static timecode::TimecodeFrameRate defaultFrameRate() noexcept;
    static void setDefaultFrameRate(timecode::TimecodeFrameRate frameRate) noexcept;

    timecode::Timecode formNewTimecode() const noexcept;
    timecode::Timecode formNewTimecodeWrappingRealTimeSeconds(double seconds) const;
    timecode::Timecode formNewTimecode(const timecode::TimecodeComponents& components,
                                       timecode::TimecodeValidationRule rule) const;
    // The same real time at the domain's properties.
    timecode::Timecode formNewTimecodeConvertingFrom(const timecode::Timecode& other,
                                                     timecode::TimecodeValidationRule rule) const;
    // The same components at the domain's properties.
    timecode::Timecode
    formNewTimecodePreservingValuesFrom(const timecode::Timecode& other,
                                        timecode::TimecodeValidationRule rule) const;
    // Throws what timecode::Timecode::fromString throws.
    timecode::Timecode formNewTimecode(std::string_view text) const;
    // `seconds` (plus the start's real time when `offsetFromStart` and a start exists) as a
    // signed timecode of its magnitude. Non-finite seconds count as 0.
    timecode::SignedTimecode formNewSignedTimecode(double seconds, bool offsetFromStart) const;

    friend bool operator==(const TimecodeDomain&, const TimecodeDomain&) = default;
};

} // namespace kvntime
