#include "timecode/CMTimeString.h"
#include "timecode/Timecode.h"

#include <string>

namespace timecode {

namespace {

// Always the ratio form, also for whole seconds ("3600/1s"), and "0s" from zero down.
std::string fcpxmlTime(const Timecode& timecode) {
    const Fraction time = timecode.rationalValue();
    if (time.numerator() < 1) {
        return "0s";
    }
    return std::to_string(time.numerator()) + "/" + std::to_string(time.denominator()) + "s";
}

template <class MakeTimecode>
std::optional<std::string> fcpxmlTimeOfTimecode(MakeTimecode makeTimecode) {
    try {
        return fcpxmlTime(makeTimecode());
    } catch (const TimecodeValidationError&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<std::string> CMTimeString::create(double seconds, TimecodeFrameRate frameRate) {
    return fcpxmlTimeOfTimecode(
        [&] { return Timecode::fromRealTime(seconds, TimecodeProperties{frameRate}); });
}

std::optional<std::string> CMTimeString::create(double seconds, double sampleRate,
                                                TimecodeFrameRate frameRate) {
    constexpr double twoToThe63 = 9223372036854775808.0;
    if (!(sampleRate >= 1 && sampleRate < twoToThe63)) {
        return std::nullopt;
    }
    const auto wholeSampleRate = static_cast<std::int64_t>(sampleRate);
    return fcpxmlTimeOfTimecode([&] {
        return Timecode::fromSamples(seconds * sampleRate, wholeSampleRate,
                                     TimecodeProperties{frameRate});
    });
}

std::optional<std::string> CMTimeString::create(const Timecode& timecode, bool roundToFrame) {
    return fcpxmlTimeOfTimecode([&] {
        Timecode written = timecode;
        if (roundToFrame) {
            written.roundUpToNextFrame();
        }
        return written;
    });
}

} // namespace timecode
