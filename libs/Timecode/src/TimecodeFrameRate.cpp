#include "timecode/TimecodeFrameRate.h"

#include "FrameRateSearch.h"
#include "timecode/VideoFrameRate.h"

#include <ostream>

namespace timecode {
namespace {

using Row = koltutils::EnumTable<TimecodeFrameRate>::Row;

constexpr bool dropness(const Row& row) noexcept {
    return row.isDrop;
}

} // namespace

FCPXMLFrameRateMetadata fcpXMLMetadata(TimecodeFrameRate frameRate) {
    return {frameDuration(frameRate).fcpxmlStringValue(), isDrop(frameRate) ? "DF" : "NDF"};
}

AAFFrameRateMetadata aafMetadata(TimecodeFrameRate frameRate) {
    return {rate(frameRate).description(), isDrop(frameRate) ? "true" : "false",
            maxFrames(frameRate)};
}

std::optional<TimecodeFrameRate> timecodeFrameRateFromFrameDuration(const Fraction& duration,
                                                                    bool drop) noexcept {
    return detail::firstCase<TimecodeFrameRate>(
        [&](const Row& row) {
            return detail::matchesFrameDuration(duration, row.frameDuration,
                                                row.alternateFrameDuration);
        },
        dropness, drop);
}

std::optional<TimecodeFrameRate> timecodeFrameRateFromFrameDuration(const CMTime& duration,
                                                                    bool drop) noexcept {
    return timecodeFrameRateFromFrameDuration(Fraction(duration), drop);
}

std::optional<TimecodeFrameRate> timecodeFrameRateFromRate(const Fraction& framesPerSecond,
                                                           bool drop) noexcept {
    return detail::firstCase<TimecodeFrameRate>(
        [&](const Row& row) { return detail::fractionsMatch(framesPerSecond, row.rate); }, dropness,
        drop);
}

std::optional<TimecodeFrameRate> timecodeFrameRateFromRate(const CMTime& framesPerSecond,
                                                           bool drop) noexcept {
    return timecodeFrameRateFromRate(Fraction(framesPerSecond), drop);
}

std::optional<TimecodeFrameRate> timecodeFrameRateFromStringValue(std::string_view text) noexcept {
    return koltutils::fromRawValue<TimecodeFrameRate>(text);
}

std::optional<TimecodeFrameRate>
timecodeFrameRateFromLegacyStringValue(std::string_view text) noexcept {
    if (text.empty()) {
        return std::nullopt; // the empty legacy name only marks a rate that has none
    }
    for (const Row& row : koltutils::EnumTable<TimecodeFrameRate>::cases) {
        if (row.legacyStringValue == text) {
            return row.value;
        }
    }
    return std::nullopt;
}

std::optional<TimecodeFrameRate>
timecodeFrameRateFromBackwardsCompatibleStringValue(std::string_view text) noexcept {
    if (const auto current = timecodeFrameRateFromStringValue(text)) {
        return current;
    }
    return timecodeFrameRateFromLegacyStringValue(text);
}

std::optional<TimecodeFrameRate> timecodeFrameRateFromFps(float fps, bool interlaced) noexcept {
    const auto video = videoFrameRateFromFps(fps, interlaced, false);
    return video ? timecodeFrameRate(*video, false) : std::nullopt;
}

std::ostream& operator<<(std::ostream& stream, TimecodeFrameRate frameRate) {
    return stream << stringValue(frameRate);
}

} // namespace timecode
