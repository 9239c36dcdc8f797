#pragma once

#include <optional>
#include <string>
#include <timecode/CMTime.h>
#include <timecode/TimecodeFrameRate.h>
#include <vector>

namespace velotrack::timeline {

// One mark of the timeline's ruler.
struct RulerTick {
    // Seconds from the sequence start.
    double at = 0;
    std::string label{};

    friend bool operator==(const RulerTick&, const RulerTick&) = default;
};

// The ruler's marks over `span` seconds from `start`, every `interval` seconds (a whole number).
// With a frame rate they fall where the timecode reads a multiple of the interval, frame 0 (at
// 29.97 a timecode second lasts 1.001 s, and in drop-frame counting a minute whose frames 0 and 1
// are skipped begins at frame 2), labelled with that timecode. Without a rate, or when the ruler
// runs past the timecode's day, they fall on whole seconds from the start, labelled as the tables
// show times there.
[[nodiscard]] std::vector<RulerTick>
rulerTicks(const timecode::CMTime& start, double span, double interval,
           const std::optional<timecode::TimecodeFrameRate>& rate);

} // namespace velotrack::timeline
