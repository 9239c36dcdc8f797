#pragma once

#include <kvnfcpx/FCPXMLDescription.h>
#include <optional>
#include <string>
#include <timecode/CMTime.h>
#include <timecode/Timecode.h>

namespace velotrack::cli {

// The times of one sequence as the reports print them, at the sequence's frame rate. Label
// arithmetic stays in the timecode library: offsets are turned into frames exactly, never
// through floating-point seconds.
class ReportClock {
public:
    explicit ReportClock(const kvnfcpx::FCPXMLDescription& description);

    // The time as a timecode counted from 00:00:00:00 (an offset, a duration, a position in a
    // media file); in seconds ("2.5s") when the sequence has no frame rate or the time does not
    // fit 24 hours.
    [[nodiscard]] std::string timecode(const timecode::CMTime& time) const;
    // What the editor's timeline shows at this offset: the sequence's start timecode plus the
    // offset, in seconds from the sequence's tcStart when there is no timecode for it.
    [[nodiscard]] std::string record(const timecode::CMTime& offset) const;

private:
    std::optional<timecode::TimecodeFrameRate> rate_;
    std::optional<timecode::Timecode> start_;
    timecode::CMTime tcStart_ = timecode::CMTime::zero;
};

} // namespace velotrack::cli
