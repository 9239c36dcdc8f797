#include "timeline/TimeText.h"

#include <cmath>
#include <koltutils/Describe.h>
#include <timecode/Timecode.h>

namespace velotrack::timeline {

double finiteSeconds(const timecode::CMTime& time) {
    const double value = time.isNumeric() ? time.seconds() : 0.0;
    return std::isfinite(value) ? value : 0.0;
}

std::string secondsText(const timecode::CMTime& time) {
    return koltutils::describe(time.seconds()) + "s";
}

std::string timeText(const timecode::CMTime& time,
                     const std::optional<timecode::TimecodeFrameRate>& rate) {
    if (rate) {
        // Negative or beyond a day: shown in seconds. Long projects have many clips beyond a
        // day, so that case is a test of the result rather than an exception per clip; only a
        // time without a position (not a number, too large for a frame count) still throws.
        try {
            const auto timecode =
                timecode::Timecode::fromCMTime(time, timecode::Timecode::Properties(*rate),
                                               timecode::Timecode::ValidationRule::allowingInvalid);
            if (timecode.isValid()) {
                return timecode.stringValue();
            }
        } catch (const std::exception&) {
        }
    }
    return secondsText(time);
}

} // namespace velotrack::timeline
