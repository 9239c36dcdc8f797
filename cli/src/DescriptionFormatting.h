#pragma once

#include <koltutils/URL.h>
#include <string>
#include <timecode/CMTime.h>
#include <timecode/TimecodeFrameRate.h>
#include <timeline/TimeText.h>

namespace velotrack::cli {

// "29.97d": the rate's string value.
std::string frameRateText(timecode::TimecodeFrameRate rate);
// The URL's absolute string.
std::string urlText(const koltutils::URL& url);
// The time in seconds, shortest form: "2.5s" (the one the project views show too).
using velotrack::timeline::secondsText;
// The time exactly as held: "1001/24000s", "3600s" over a timescale of 1, or the description of
// a time that is not a number ("indefinite", "invalid").
std::string exactTimeText(const timecode::CMTime& time);

} // namespace velotrack::cli
