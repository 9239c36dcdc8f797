#pragma once

#include "timecode/CMTime.h"
#include "timecode/Fraction.h"
#include "timecode/TimecodeFrameRate.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <koltutils/EnumTable.h>
#include <optional>
#include <string_view>

namespace timecode {

/// Video frame rates with their scan type. The raw value is the string value ("29.97i").
enum class VideoFrameRate : std::uint8_t {
    fps23_98p,
    fps24p,
    fps25p,
    fps25i,
    fps29_97p,
    fps29_97i,
    fps30p,
    fps47_95p,
    fps48p,
    fps50p,
    fps50i,
    fps59_94p,
    fps59_94i,
    fps60p,
    fps60i,
    fps90p,
    fps95_9p,
    fps96p,
    fps100p,
    fps119_88p,
    fps120p,
};

} // namespace timecode

template <> struct koltutils::EnumTable<timecode::VideoFrameRate> {
    struct Row {
        timecode::VideoFrameRate value;
        std::string_view rawValue;
        timecode::Fraction rate;
        // Exact and unreduced; an interlaced rate's duration is two fields (2002/60000).
        timecode::Fraction frameDuration;
        bool isInterlaced;
        timecode::TimecodeFrameRate nonDropTimecodeRate;
        std::optional<timecode::TimecodeFrameRate> dropTimecodeRate;
    };

    using V = timecode::VideoFrameRate;
    using T = timecode::TimecodeFrameRate;
    using F = timecode::Fraction;
    static constexpr std::array<Row, 21> cases{{
        // clang-format off
        {V::fps23_98p,  "23.98p",  F{24000, 1001},  F{1001, 24000},  false, T::fps23_976, std::nullopt},
        {V::fps24p,     "24p",     F{24, 1},        F{100, 2400},    false, T::fps24,     std::nullopt},
        {V::fps25p,     "25p",     F{25, 1},        F{100, 2500},    false, T::fps25,     std::nullopt},
        {V::fps25i,     "25i",     F{25, 1},        F{200, 5000},    true,  T::fps25,     std::nullopt},
        {V::fps29_97p,  "29.97p",  F{30000, 1001},  F{1001, 30000},  false, T::fps29_97,  T::fps29_97d},
        {V::fps29_97i,  "29.97i",  F{30000, 1001},  F{2002, 60000},  true,  T::fps29_97,  T::fps29_97d},
        {V::fps30p,     "30p",     F{30, 1},        F{100, 3000},    false, T::fps30,     T::fps30d},
        {V::fps47_95p,  "47.95p",  F{48000, 1001},  F{1001, 48000},  false, T::fps47_952, std::nullopt},
        {V::fps48p,     "48p",     F{48, 1},        F{100, 4800},    false, T::fps48,     std::nullopt},
        {V::fps50p,     "50p",     F{50, 1},        F{100, 5000},    false, T::fps50,     std::nullopt},
        {V::fps50i,     "50i",     F{50, 1},        F{200, 10000},   true,  T::fps50,     std::nullopt},
        {V::fps59_94p,  "59.94p",  F{60000, 1001},  F{1001, 60000},  false, T::fps59_94,  T::fps59_94d},
        {V::fps59_94i,  "59.94i",  F{60000, 1001},  F{2002, 120000}, true,  T::fps59_94,  T::fps59_94d},
        {V::fps60p,     "60p",     F{60, 1},        F{100, 6000},    false, T::fps60,     T::fps60d},
        {V::fps60i,     "60i",     F{60, 1},        F{200, 12000},   true,  T::fps60,     std::nullopt},
        {V::fps90p,     "90p",     F{90, 1},        F{100, 9000},    false, T::fps90,     std::nullopt},
        {V::fps95_9p,   "95.9p",   F{96000, 1001},  F{1001, 96000},  false, T::fps95_904, std::nullopt},
        {V::fps96p,     "96p",     F{96, 1},        F{100, 9600},    false, T::fps96,     std::nullopt},
        {V::fps100p,    "100p",    F{100, 1},       F{100, 10000},   false, T::fps100,    std::nullopt},
        {V::fps119_88p, "119.88p", F{120000, 1001}, F{1001, 120000}, false, T::fps119_88, T::fps119_88d},
        {V::fps120p,    "120p",    F{120, 1},       F{100, 12000},   false, T::fps120,    std::nullopt},
        // clang-format on
    }};
};
static_assert(koltutils::isInDeclarationOrder<timecode::VideoFrameRate>());

namespace timecode {

/// "29.97i"; also the raw value.
constexpr std::string_view stringValue(VideoFrameRate videoRate) {
    return koltutils::caseOf(videoRate).rawValue;
}
/// Frames per second, exact and unreduced.
constexpr Fraction rate(VideoFrameRate videoRate) {
    return koltutils::caseOf(videoRate).rate;
}
/// Seconds per frame, exact and unreduced.
constexpr Fraction frameDuration(VideoFrameRate videoRate) {
    return koltutils::caseOf(videoRate).frameDuration;
}
constexpr bool isInterlaced(VideoFrameRate videoRate) {
    return koltutils::caseOf(videoRate).isInterlaced;
}
/// The timecode rate counted at this video rate: the non-drop one, or with `drop` the drop one
/// when it exists (none for 60i and 120p although 60d and 120d exist).
constexpr std::optional<TimecodeFrameRate> timecodeFrameRate(VideoFrameRate videoRate, bool drop) {
    const auto& row = koltutils::caseOf(videoRate);
    return drop ? row.dropTimecodeRate : std::optional(row.nonDropTimecodeRate);
}
/// The alternate NTSC duration of the rate's timecode rate (1000/29970 for 29.97p and 29.97i).
constexpr std::optional<Fraction> alternateFrameDuration(VideoFrameRate videoRate) {
    return alternateFrameDuration(koltutils::caseOf(videoRate).nonDropTimecodeRate);
}
constexpr CMTime rateCMTime(VideoFrameRate videoRate) {
    const Fraction fraction = rate(videoRate);
    return CMTime::make(fraction.numerator(), static_cast<std::int32_t>(fraction.denominator()));
}
constexpr CMTime frameDurationCMTime(VideoFrameRate videoRate) {
    const Fraction fraction = frameDuration(videoRate);
    return CMTime::make(fraction.numerator(), static_cast<std::int32_t>(fraction.denominator()));
}

/// The video rate whose timecode rate (drop or not, as the timecode rate is) is `frameRate`,
/// first in table order with the given scan type: 29.97d interlaced → 29.97i; 24.98 → none.
std::optional<VideoFrameRate> videoFrameRate(TimecodeFrameRate frameRate, bool interlaced) noexcept;

/// The first video rate in table order whose rate matches (equal pairs or equal double
/// quotients) with the given scan type.
std::optional<VideoFrameRate> videoFrameRateFromRate(const Fraction& framesPerSecond,
                                                     bool interlaced) noexcept;
std::optional<VideoFrameRate> videoFrameRateFromRate(const CMTime& framesPerSecond,
                                                     bool interlaced) noexcept;
/// As above on the frame-duration column, NTSC rates also matching their alternate durations.
std::optional<VideoFrameRate> videoFrameRateFromFrameDuration(const Fraction& duration,
                                                              bool interlaced) noexcept;
std::optional<VideoFrameRate> videoFrameRateFromFrameDuration(const CMTime& duration,
                                                              bool interlaced) noexcept;
/// From frames per second compared at 3 decimal places when `strict`, else 1: first both sides
/// truncated, then, if nothing matched, both rounded half away from zero. 23.976 finds 23.98p,
/// 29.97 interlaced finds 29.97i.
std::optional<VideoFrameRate> videoFrameRateFromFps(double fps, bool interlaced,
                                                    bool strict) noexcept;
/// Exact match of the string value ("25i").
std::optional<VideoFrameRate> videoFrameRateFromStringValue(std::string_view text) noexcept;

/// Prints the string value.
std::ostream& operator<<(std::ostream& stream, VideoFrameRate videoRate);

} // namespace timecode
