#include "kvntime/TimecodeDomain.h"

#include <atomic>
#include <cmath>

namespace kvntime {
namespace {

using timecode::Timecode;
using timecode::TimecodeValidationRule;

std::atomic<timecode::TimecodeFrameRate> defaultRate{timecode::TimecodeFrameRate::fps24};

} // namespace

timecode::TimecodeFrameRate TimecodeDomain::defaultFrameRate() noexcept {
    return defaultRate.load();
}

void TimecodeDomain::setDefaultFrameRate(timecode::TimecodeFrameRate frameRate) noexcept {
    defaultRate.store(frameRate);
}

Timecode TimecodeDomain::formNewTimecode() const noexcept {
    return Timecode::zero(properties);
}

Timecode TimecodeDomain::formNewTimecodeWrappingRealTimeSeconds(double seconds) const {
    return Timecode::fromRealTime(seconds, properties, TimecodeValidationRule::wrapping);
}

Timecode TimecodeDomain::formNewTimecode(const timecode::TimecodeComponents& components,
                                         TimecodeValidationRule rule) const {
    return Timecode::fromComponents(components, properties, rule);
}

Timecode TimecodeDomain::formNewTimecodeConvertingFrom(const Timecode& other,
                                                       TimecodeValidationRule rule) const {
    return Timecode::fromRealTime(other.realTimeValue(), properties, rule);
}

Timecode TimecodeDomain::formNewTimecodePreservingValuesFrom(const Timecode& other,
                                                             TimecodeValidationRule rule) const {
    return Timecode::fromComponents(other.components, properties, rule);
}

Timecode TimecodeDomain::formNewTimecode(std::string_view text) const {
    return Timecode::fromString(text, properties);
}

timecode::SignedTimecode TimecodeDomain::formNewSignedTimecode(double seconds,
                                                               bool offsetFromStart) const {
    double value = std::isfinite(seconds) ? seconds : 0;
    if (offsetFromStart && startTimecode) {
        value += startTimecode->realTimeValue();
    }
    const auto sign =
        value < 0 ? timecode::SignedTimecode::Sign::minus : timecode::SignedTimecode::Sign::plus;
    return {formNewTimecodeWrappingRealTimeSeconds(std::fabs(value)), sign};
}

} // namespace kvntime
