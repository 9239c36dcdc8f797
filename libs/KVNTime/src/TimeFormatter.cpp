#include "kvntime/TimeFormatter.h"

#include "kvntime/MusicalMeasure.h"

#include <cmath>

namespace kvntime {
namespace {

using timecode::Timecode;
using timecode::TimecodeValidationRule;

double usablePosition(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

} // namespace

TimeFormatter::TimeFormatter(TimeDomain domain) : primaryDomain(domain) {}

void TimeFormatter::updatePosition(double seconds) {
    timecode.masterTimecode =
        timecode.formNewTimecodeWrappingRealTimeSeconds(usablePosition(seconds));
    if (stringValue(timecode.masterTimecode.frameRate()) !=
        stringValue(timecode.properties.frameRate)) {
        timecode.masterTimecode = timecode.formNewTimecodeConvertingFrom(
            timecode.masterTimecode, TimecodeValidationRule::wrapping);
    }
    updateMasterSeconds();
}

void TimeFormatter::updatePosition(const Timecode& position) {
    timecode.masterTimecode =
        position.properties == timecode.properties
            ? position
            : timecode.formNewTimecodeConvertingFrom(position, TimecodeValidationRule::wrapping);
    updateMasterSeconds();
}

void TimeFormatter::updateElapsedTime(double seconds) {
    const double start = timecode.startTimecode ? timecode.startTimecode->realTimeValue() : 0;
    updatePosition(start + usablePosition(seconds));
}

void TimeFormatter::updateStart(std::optional<double> seconds) {
    if (seconds) {
        timecode.startTimecode =
            timecode.formNewTimecodeWrappingRealTimeSeconds(usablePosition(*seconds));
    } else {
        timecode.startTimecode.reset();
    }
    updateMasterSeconds();
}

void TimeFormatter::updateStart(const std::optional<Timecode>& start) {
    if (start) {
        timecode.startTimecode =
            start->properties == timecode.properties
                ? *start
                : timecode.formNewTimecodeConvertingFrom(*start, TimecodeValidationRule::wrapping);
    } else {
        timecode.startTimecode.reset();
    }
    updateMasterSeconds();
}

void TimeFormatter::updateFrameRate(timecode::TimecodeFrameRate frameRate,
                                    bool preservingValuesIfPossible) {
    timecode.properties.frameRate = frameRate;
    const auto bring = [&](const Timecode& old) {
        if (preservingValuesIfPossible) {
            const Timecode kept = timecode.formNewTimecodePreservingValuesFrom(
                old, TimecodeValidationRule::allowingInvalid);
            if (kept.isValid()) {
                return kept;
            }
        }
        return timecode.formNewTimecodeConvertingFrom(old, TimecodeValidationRule::wrapping);
    };
    timecode.masterTimecode = bring(timecode.masterTimecode);
    if (timecode.startTimecode) {
        timecode.startTimecode = bring(*timecode.startTimecode);
    }
    updateMasterSeconds();
}

std::string TimeFormatter::primaryString() const {
    switch (primaryDomain) {
    case TimeDomain::realTime:
        return RealTimeDomain::string(realTime.masterSeconds,
                                      RealTimeDomain::HoursFormat::automatic, false);
    case TimeDomain::timecode:
        return timecode.masterTimecode.stringValue(
            timecode.showSubFrames
                ? timecode::
                      TimecodeStringFormat{timecode::TimecodeStringFormatOption::showSubFrames}
                : timecode::TimecodeStringFormat{});
    case TimeDomain::musical:
        return MusicalMeasure(timecode.masterTimecode.realTimeValue()).stringValue();
    }
    return {};
}

std::string TimeFormatter::primaryString(double seconds) const {
    switch (primaryDomain) {
    case TimeDomain::realTime:
        return RealTimeDomain::string(seconds, RealTimeDomain::HoursFormat::automatic, false);
    case TimeDomain::timecode: {
        const auto signedTimecode = timecode.formNewSignedTimecode(seconds, true);
        if (!timecode.showSubFrames) {
            return signedTimecode.stringValue();
        }
        const bool isZero = signedTimecode.timecode.components == timecode::TimecodeComponents{};
        const std::string text = signedTimecode.timecode.stringValue(
            {timecode::TimecodeStringFormatOption::showSubFrames});
        return signedTimecode.sign == timecode::SignedTimecode::Sign::minus && !isZero ? "-" + text
                                                                                       : text;
    }
    case TimeDomain::musical: {
        const double start = timecode.startTimecode ? timecode.startTimecode->realTimeValue() : 0;
        return MusicalMeasure(start + seconds).stringValue();
    }
    }
    return {};
}

void TimeFormatter::updateMasterSeconds() {
    realTime.masterSeconds = timecode.masterTimecode.realTimeValue();
    if (timecode.startTimecode) {
        realTime.masterSeconds -= timecode.startTimecode->realTimeValue();
    }
}

} // namespace kvntime
