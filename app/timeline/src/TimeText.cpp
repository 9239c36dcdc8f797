#include "timeline/TimeText.h"

#include <koltutils/Describe.h>
#include <timecode/Timecode.h>

namespace velotrack::timeline {

std::string secondsText(const timecode::CMTime& time) {
    return koltutils::describe(time.seconds()) + "s";
}

std::string timeText(const timecode::CMTime& time,
                     const std::optional<timecode::TimecodeFrameRate>& rate) {
    if (rate) {
        try {
            return timecode::Timecode::fromCMTime(time, timecode::Timecode::Properties(*rate))
                .stringValue();
        } catch (const std::exception&) {
            // Negative or beyond a day: shown in seconds.
        }
    }
    return secondsText(time);
}

} // namespace velotrack::timeline
