#pragma once

#include "kvnfcpx/ClipItem.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <timecode/CMTime.h>

namespace kvnfcpx {

// The timing of one parsed clip or marker. Times are exact media times; a time the document
// does not give is zero. Offsets of clips and markers returned in a sequence count from the
// sequence start; starts of clips count from the beginning of the media file.
//
// The default values are those of the plain (start, offset, duration) constructor: valid, zero
// audio times, clip item `unknown`; write `ClipTime{.start = s, .offset = o, .duration = d}`.
struct ClipTime {
    // A half-open range [start, start + duration).
    struct TimeRange {
        timecode::CMTime start{};
        timecode::CMTime duration{};

        [[nodiscard]] timecode::CMTime end() const;
        // An empty range contains nothing.
        [[nodiscard]] bool contains(const timecode::CMTime& time) const;

        friend bool operator==(const TimeRange&, const TimeRange&) = default;
    };

    timecode::CMTime start = timecode::CMTime::zero;
    timecode::CMTime offset = timecode::CMTime::zero;
    timecode::CMTime duration = timecode::CMTime::zero;
    timecode::CMTime audioStart = timecode::CMTime::zero;
    timecode::CMTime audioDuration = timecode::CMTime::zero;
    ClipItem clipItem = ClipItem::unknown;
    // False marks a clip or marker outside its parent; such entries never reach a sequence.
    // Last, beside the clip item, so that the two share one word of a record held per clip.
    bool isValid = true;

    [[nodiscard]] TimeRange timeRange() const { return {start, duration}; }
    // `audioStart` unless it is zero, else `start`.
    [[nodiscard]] timecode::CMTime effectiveAudioStart() const;
    // `audioDuration` unless it is zero, else `duration`.
    [[nodiscard]] timecode::CMTime effectiveAudioDuration() const;
    // How far the audio begins after the video: `audioStart - start` when `audioStart` is not
    // zero and later than `start`, else zero.
    [[nodiscard]] timecode::CMTime audioStartOffset() const;

    // One line for log output: clip item, validity, the five times in seconds, the range.
    [[nodiscard]] std::string description() const;

    friend bool operator==(const ClipTime&, const ClipTime&) = default;
};

std::ostream& operator<<(std::ostream& stream, const ClipTime& clipTime);

} // namespace kvnfcpx

template <> struct std::hash<kvnfcpx::ClipTime> {
    std::size_t operator()(const kvnfcpx::ClipTime& clipTime) const noexcept;
};
