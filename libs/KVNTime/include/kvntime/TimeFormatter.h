#pragma once

#include "kvntime/RealTimeDomain.h"
#include "kvntime/TimeDomain.h"
#include "kvntime/TimecodeDomain.h"

#include <optional>
#include <string>
#include <timecode/Timecode.h>

namespace kvntime {

// Shows one timeline position in the primary domain, keeping the timecode and real-time forms
// in step.
//
// The timecode domain's `masterTimecode` is the position counted from the timeline's zero; the
// real-time domain's `masterSeconds` is that position less the start timecode's real time.
// Choices made here:
// - `updatePosition` takes the position as it is: the start is not added to it.
// - `updateElapsedTime(t)` sets the position t seconds after the start (after zero without one).
// - `updateStart` makes the start timecode at the domain's properties (absent clears it).
// - `updateFrameRate` keeps the components of master and start timecodes when they are valid
//   at the new rate and `preservingValuesIfPossible` is set; otherwise it keeps their real time.
// - Negative and non-numeric positions count as 0.
// - The primary string: real time with hours `automatic` and no milliseconds; timecode with
//   sub-frames when `showSubFrames`; musical as bar, beat and subdivision at 120 bpm, 4/4, the
//   formatter having no tempo of its own.
class TimeFormatter {
public:
    explicit TimeFormatter(TimeDomain primaryDomain = TimeDomain::timecode);

    TimeDomain primaryDomain;
    TimecodeDomain timecode;
    RealTimeDomain realTime;

    void updatePosition(double seconds);
    void updatePosition(const timecode::Timecode& position);
    void updateElapsedTime(double seconds);
    void updateStart(std::optional<double> seconds);
    void updateStart(const std::optional<timecode::Timecode>& start);
    void updateFrameRate(timecode::TimecodeFrameRate frameRate, bool preservingValuesIfPossible);

    std::string primaryString() const;
    // `seconds` counted from the start, in the primary domain (timecode as a signed timecode).
    std::string primaryString(double seconds) const;

private:
    void updateMasterSeconds();
};

} // namespace kvntime
