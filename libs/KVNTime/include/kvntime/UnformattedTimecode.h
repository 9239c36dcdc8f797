#pragma once

#include <optional>
#include <string_view>
#include <timecode/TimecodeComponents.h>
#include <timecode/TimecodeFrameRate.h>

namespace kvntime {

// Reads a timecode typed as digits alone, the way a timecode field takes typing: the digits fill
// the fields from the right, frames first (two digits, or as many as the rate's highest frame
// number has), then seconds, minutes and hours with two digits each; any digits left over are
// days. Characters other than digits are passed over, so a label typed with its separators
// ("01:00:00;00") reads as the same fields. The fields are not checked against the rate: the
// timecode made from them says which are out of range.
//
//   "1234" at 25 fps      -> 00:00:12:34 (frames 34 are for the timecode to refuse)
//   "1000000" at 25 fps   -> 01:00:00:00
//   "101000000" at 25 fps -> 1 day, 01:00:00:00
//
// None when the text holds no digit, or more digits than the days field can hold (nine).
std::optional<timecode::TimecodeComponents>
parseUnformattedTimecode(std::string_view string, timecode::TimecodeFrameRate frameRate);

} // namespace kvntime
