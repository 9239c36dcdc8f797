#include "ReportClock.h"

#include "DescriptionFormatting.h"

#include <exception>

namespace velotrack::cli {

ReportClock::ReportClock(const kvnfcpx::FCPXMLDescription& description)
    : rate_(description.frameRate()) {
    if (description.project && description.project->sequence) {
        tcStart_ = description.project->sequence->tcStart;
    }
    // Asked only with a rate: without one the engine logs that it has none.
    if (rate_) {
        start_ = description.projectStartTimecode();
    }
}

std::string ReportClock::timecode(const timecode::CMTime& time) const {
    if (rate_) {
        try {
            return timecode::Timecode::fromCMTime(time, timecode::Timecode::Properties(*rate_))
                .stringValue();
        } catch (const std::exception&) {
            // Negative, unusable or beyond 24 hours: in seconds below.
        }
    }
    return secondsText(time);
}

std::string ReportClock::record(const timecode::CMTime& offset) const {
    if (start_) {
        try {
            const auto elapsed = timecode::Timecode::fromCMTime(offset, start_->properties);
            return start_->adding(elapsed).stringValue();
        } catch (const std::exception&) {
            // Past the end of the day or not a position: in seconds below.
        }
    }
    return secondsText(tcStart_ + offset);
}

} // namespace velotrack::cli
