#pragma once

#include <optional>
#include <string>
#include <timecode/CMTime.h>
#include <timecode/TimecodeFrameRate.h>

namespace velotrack::timeline {

// The time in seconds, 0 for a time that has none (not a number, infinite): the position the
// picture gives it.
[[nodiscard]] double finiteSeconds(const timecode::CMTime& time);

// "2.5s": seconds in their shortest form.
std::string secondsText(const timecode::CMTime& time);
// A timecode at `rate` when there is one and the time fits a day, else secondsText.
std::string timeText(const timecode::CMTime& time,
                     const std::optional<timecode::TimecodeFrameRate>& rate);

} // namespace velotrack::timeline
