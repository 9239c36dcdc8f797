#include "timecode/VideoFrameRate.h"

#include "FrameRateSearch.h"

#include <cmath>
#include <ostream>

namespace timecode {
namespace {

using Row = koltutils::EnumTable<VideoFrameRate>::Row;

constexpr bool interlacing(const Row& row) noexcept {
    return row.isInterlaced;
}

// Both sides cut to the same decimal places by `cut` (truncation or rounding) and compared.
template <class Cut>
std::optional<VideoFrameRate> firstWithCutRate(double fps, double scale, bool interlaced, Cut cut) {
    const double given = cut(fps * scale);
    return detail::firstCase<VideoFrameRate>(
        [&](const Row& row) { return cut(row.rate.doubleValue() * scale) == given; }, interlacing,
        interlaced);
}

} // namespace

std::optional<VideoFrameRate> videoFrameRate(TimecodeFrameRate frameRate,
                                             bool interlaced) noexcept {
    const bool drop = isDrop(frameRate);
    return detail::firstCase<VideoFrameRate>(
        [&](const Row& row) {
            return (drop ? row.dropTimecodeRate : row.nonDropTimecodeRate) == frameRate;
        },
        interlacing, interlaced);
}

std::optional<VideoFrameRate> videoFrameRateFromRate(const Fraction& framesPerSecond,
                                                     bool interlaced) noexcept {
    return detail::firstCase<VideoFrameRate>(
        [&](const Row& row) { return detail::fractionsMatch(framesPerSecond, row.rate); },
        interlacing, interlaced);
}

std::optional<VideoFrameRate> videoFrameRateFromRate(const CMTime& framesPerSecond,
                                                     bool interlaced) noexcept {
    return videoFrameRateFromRate(Fraction(framesPerSecond), interlaced);
}

std::optional<VideoFrameRate> videoFrameRateFromFrameDuration(const Fraction& duration,
                                                              bool interlaced) noexcept {
    return detail::firstCase<VideoFrameRate>(
        [&](const Row& row) {
            return detail::matchesFrameDuration(duration, row.frameDuration,
                                                alternateFrameDuration(row.value));
        },
        interlacing, interlaced);
}

std::optional<VideoFrameRate> videoFrameRateFromFrameDuration(const CMTime& duration,
                                                              bool interlaced) noexcept {
    return videoFrameRateFromFrameDuration(Fraction(duration), interlaced);
}

std::optional<VideoFrameRate> videoFrameRateFromFps(double fps, bool interlaced,
                                                    bool strict) noexcept {
    const double scale = strict ? 1000.0 : 10.0;
    if (const auto truncated = firstWithCutRate(fps, scale, interlaced,
                                                [](double value) { return std::trunc(value); })) {
        return truncated;
    }
    return firstWithCutRate(fps, scale, interlaced, [](double value) { return std::round(value); });
}

std::optional<VideoFrameRate> videoFrameRateFromStringValue(std::string_view text) noexcept {
    return koltutils::fromRawValue<VideoFrameRate>(text);
}

std::ostream& operator<<(std::ostream& stream, VideoFrameRate videoRate) {
    return stream << stringValue(videoRate);
}

} // namespace timecode
