#pragma once

#include "timecode/CMTime.h"
#include "timecode/Fraction.h"
#include "timecode/TimecodeSubFramesBase.h"
#include "timecode/TimecodeUpperLimit.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <koltutils/EnumTable.h>
#include <optional>
#include <string>
#include <string_view>

namespace timecode {

/// The frame rates at which timecode is counted. The raw value is the string value ("29.97d").
enum class TimecodeFrameRate : std::uint8_t {
    fps23_976,
    fps24,
    fps24_98,
    fps25,
    fps29_97,
    fps29_97d,
    fps30,
    fps30d,
    fps47_952,
    fps48,
    fps50,
    fps59_94,
    fps59_94d,
    fps60,
    fps60d,
    fps90,
    fps95_904,
    fps96,
    fps100,
    fps119_88,
    fps119_88d,
    fps120,
    fps120d,
};

} // namespace timecode

template <> struct koltutils::EnumTable<timecode::TimecodeFrameRate> {
    struct Row {
        timecode::TimecodeFrameRate value;
        std::string_view rawValue;
        std::string_view verbose;
        // Exact and unreduced: FCPXML writes 24 fps as 100/2400s.
        timecode::Fraction rate;
        timecode::Fraction frameDuration;
        bool isDrop;
        // Frame labels in one timecode second.
        std::int64_t maxFrames;
        // Width of the frames field of a timecode string.
        int numberOfDigits;
        std::int64_t framesDroppedPerMinute;
        // The rate drop-frame label arithmetic counts with: the nominal NTSC rate for every drop
        // rate, also the integer ones (30d counts like 29.97d).
        double countingRate;
        std::int64_t framesIn24Hours;
        // NTSC rates only: the duration some writers use instead, 1000 over the rate in
        // thousandths.
        std::optional<timecode::Fraction> alternateFrameDuration;
        // Names from older stored forms; empty when the rate never had one (90).
        std::string_view legacyStringValue;
    };

    using R = timecode::TimecodeFrameRate;
    using F = timecode::Fraction;
    static constexpr std::array<Row, 23> cases{{
        // clang-format off
        {R::fps23_976,  "23.976", "23.976 fps",      F{24000, 1001},  F{1001, 24000},  false, 24,  2, 0, 24,     2073600,  F{1000, 23976},  "_23_976"},
        {R::fps24,      "24",     "24 fps",          F{24, 1},        F{100, 2400},    false, 24,  2, 0, 24,     2073600,  std::nullopt,    "_24"},
        {R::fps24_98,   "24.98",  "24.98 fps",       F{25000, 1001},  F{1001, 25000},  false, 25,  2, 0, 25,     2160000,  F{1000, 24980},  "_24_98"},
        {R::fps25,      "25",     "25 fps",          F{25, 1},        F{100, 2500},    false, 25,  2, 0, 25,     2160000,  std::nullopt,    "_25"},
        {R::fps29_97,   "29.97",  "29.97 fps",       F{30000, 1001},  F{1001, 30000},  false, 30,  2, 0, 30,     2592000,  F{1000, 29970},  "_29_97"},
        {R::fps29_97d,  "29.97d", "29.97 fps drop",  F{30000, 1001},  F{1001, 30000},  true,  30,  2, 2, 29.97,  2589408,  F{1000, 29970},  "_29_97_drop"},
        {R::fps30,      "30",     "30 fps",          F{30, 1},        F{100, 3000},    false, 30,  2, 0, 30,     2592000,  std::nullopt,    "_30"},
        {R::fps30d,     "30d",    "30 fps drop",     F{30, 1},        F{100, 3000},    true,  30,  2, 2, 29.97,  2589408,  std::nullopt,    "_30_drop"},
        {R::fps47_952,  "47.952", "47.952 fps",      F{48000, 1001},  F{1001, 48000},  false, 48,  2, 0, 48,     4147200,  F{1000, 47952},  "_47_952"},
        {R::fps48,      "48",     "48 fps",          F{48, 1},        F{100, 4800},    false, 48,  2, 0, 48,     4147200,  std::nullopt,    "_48"},
        {R::fps50,      "50",     "50 fps",          F{50, 1},        F{100, 5000},    false, 50,  2, 0, 50,     4320000,  std::nullopt,    "_50"},
        {R::fps59_94,   "59.94",  "59.94 fps",       F{60000, 1001},  F{1001, 60000},  false, 60,  2, 0, 60,     5184000,  F{1000, 59940},  "_59_94"},
        {R::fps59_94d,  "59.94d", "59.94 fps drop",  F{60000, 1001},  F{1001, 60000},  true,  60,  2, 4, 59.94,  5178816,  F{1000, 59940},  "_59_94_drop"},
        {R::fps60,      "60",     "60 fps",          F{60, 1},        F{100, 6000},    false, 60,  2, 0, 60,     5184000,  std::nullopt,    "_60"},
        {R::fps60d,     "60d",    "60 fps drop",     F{60, 1},        F{100, 6000},    true,  60,  2, 4, 59.94,  5178816,  std::nullopt,    "_60_drop"},
        {R::fps90,      "90",     "90 fps",          F{90, 1},        F{100, 9000},    false, 90,  2, 0, 90,     7776000,  std::nullopt,    ""},
        {R::fps95_904,  "95.904", "95.904 fps",      F{96000, 1001},  F{1001, 96000},  false, 96,  2, 0, 96,     8294400,  F{1000, 95904},  "_95_904"},
        {R::fps96,      "96",     "96 fps",          F{96, 1},        F{100, 9600},    false, 96,  2, 0, 96,     8294400,  std::nullopt,    "_96"},
        {R::fps100,     "100",    "100 fps",         F{100, 1},       F{100, 10000},   false, 100, 2, 0, 100,    8640000,  std::nullopt,    "_100"},
        {R::fps119_88,  "119.88", "119.88 fps",      F{120000, 1001}, F{1001, 120000}, false, 120, 3, 0, 120,    10368000, F{1000, 119880}, "_119_88"},
        {R::fps119_88d, "119.88d","119.88 fps drop", F{120000, 1001}, F{1001, 120000}, true,  120, 3, 8, 119.88, 10357632, F{1000, 119880}, "_119_88_drop"},
        {R::fps120,     "120",    "120 fps",         F{120, 1},       F{100, 12000},   false, 120, 3, 0, 120,    10368000, std::nullopt,    "_120"},
        {R::fps120d,    "120d",   "120 fps drop",    F{120, 1},       F{100, 12000},   true,  120, 3, 8, 119.88, 10357632, std::nullopt,    "_120_drop"},
        // clang-format on
    }};
};
static_assert(koltutils::isInDeclarationOrder<timecode::TimecodeFrameRate>());

namespace timecode {

// Per-case properties, all read from the one table above.

/// "29.97d"; also the raw value.
constexpr std::string_view stringValue(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).rawValue;
}
/// "29.97 fps drop".
constexpr std::string_view stringValueVerbose(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).verbose;
}
/// Frames per second, exact and unreduced (30000/1001).
constexpr Fraction rate(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).rate;
}
/// Seconds per frame, exact and unreduced (1001/30000, 100/2400).
constexpr Fraction frameDuration(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).frameDuration;
}
/// 1000/23976 for 23.976 and likewise for the other NTSC rates; none for the others.
constexpr std::optional<Fraction> alternateFrameDuration(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).alternateFrameDuration;
}
constexpr CMTime rateCMTime(TimecodeFrameRate frameRate) {
    const Fraction fraction = koltutils::caseOf(frameRate).rate;
    return CMTime::make(fraction.numerator(), static_cast<std::int32_t>(fraction.denominator()));
}
constexpr CMTime frameDurationCMTime(TimecodeFrameRate frameRate) {
    const Fraction fraction = koltutils::caseOf(frameRate).frameDuration;
    return CMTime::make(fraction.numerator(), static_cast<std::int32_t>(fraction.denominator()));
}
constexpr bool isDrop(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).isDrop;
}
/// Frame labels per timecode second (30 at 29.97d).
constexpr std::int64_t maxFrames(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).maxFrames;
}
/// The highest frame label (29 at 29.97d).
constexpr std::int64_t maxFrameNumberDisplayable(TimecodeFrameRate frameRate) {
    return maxFrames(frameRate) - 1;
}
/// Width of the frames field: 2, or 3 from 119.88 up.
constexpr int numberOfDigits(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).numberOfDigits;
}
constexpr std::int64_t framesDroppedPerMinute(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).framesDroppedPerMinute;
}
/// The counting rate of drop-frame arithmetic: labels/s, or 29.97, 59.94, 119.88 at drop rates.
constexpr double frameRateForElapsedFramesCalculation(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).countingRate;
}
/// Frames per second as a double (29.970029970...).
constexpr double frameRateForRealTimeCalculation(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).rate.doubleValue();
}
/// Frames per second as a float.
constexpr float floatValue(TimecodeFrameRate frameRate) {
    return static_cast<float>(frameRateForRealTimeCalculation(frameRate));
}
/// Seconds per frame as a double (1/24 at 24).
constexpr double frameDurationInSeconds(TimecodeFrameRate frameRate) {
    return koltutils::caseOf(frameRate).frameDuration.doubleValue();
}
/// Frames that fit the span of the limit (2589408 in 24 hours at 29.97d).
constexpr std::int64_t maxTotalFrames(TimecodeFrameRate frameRate, TimecodeUpperLimit limit) {
    return koltutils::caseOf(frameRate).framesIn24Hours * spanInDays(limit);
}
constexpr std::int64_t maxTotalFramesExpressible(TimecodeFrameRate frameRate,
                                                 TimecodeUpperLimit limit) {
    return maxTotalFrames(frameRate, limit) - 1;
}
constexpr std::int64_t maxTotalSubFrames(TimecodeFrameRate frameRate, TimecodeUpperLimit limit,
                                         TimecodeSubFramesBase base) {
    return maxTotalFrames(frameRate, limit) * subFramesPerFrame(base);
}
constexpr std::int64_t maxSubFrameCountExpressible(TimecodeFrameRate frameRate,
                                                   TimecodeUpperLimit limit,
                                                   TimecodeSubFramesBase base) {
    return maxTotalSubFrames(frameRate, limit, base) - 1;
}

/// How FCPXML writes the rate on a format and sequence.
struct FCPXMLFrameRateMetadata {
    std::string frameDuration; // "1001/30000s", "100/2400s" (never reduced)
    std::string tcFormat;      // "DF" or "NDF"
    friend bool operator==(const FCPXMLFrameRateMetadata&,
                           const FCPXMLFrameRateMetadata&) = default;
};
FCPXMLFrameRateMetadata fcpXMLMetadata(TimecodeFrameRate frameRate);

/// How AAF writes the rate.
struct AAFFrameRateMetadata {
    std::string editRate;         // the rate as numerator/denominator: "30000/1001"
    std::string dropFrame;        // "true" or "false"
    std::int64_t framesPerSecond; // frame labels per second
    friend bool operator==(const AAFFrameRateMetadata&, const AAFFrameRateMetadata&) = default;
};
AAFFrameRateMetadata aafMetadata(TimecodeFrameRate frameRate);

// Look-ups.

/// The first rate in table order whose frame duration matches and whose drop-ness equals
/// `drop`. A duration matches when numerator and denominator are equal or, failing that, the
/// double quotients are; NTSC rates also match their alternate durations. So 1001/24000,
/// 2002/48000 and 1000/23976 find 23.976, and 1/24 finds 24; 1001/24000 with drop finds none.
std::optional<TimecodeFrameRate> timecodeFrameRateFromFrameDuration(const Fraction& duration,
                                                                    bool drop) noexcept;
/// As above with the time's value over its timescale.
std::optional<TimecodeFrameRate> timecodeFrameRateFromFrameDuration(const CMTime& duration,
                                                                    bool drop) noexcept;
/// The same search on the rate column (without alternates).
std::optional<TimecodeFrameRate> timecodeFrameRateFromRate(const Fraction& framesPerSecond,
                                                           bool drop) noexcept;
std::optional<TimecodeFrameRate> timecodeFrameRateFromRate(const CMTime& framesPerSecond,
                                                           bool drop) noexcept;
/// Exact match of the string value ("29.97d").
std::optional<TimecodeFrameRate> timecodeFrameRateFromStringValue(std::string_view text) noexcept;
/// Names of older stored forms ("_29_97_drop"); 90 has none.
std::optional<TimecodeFrameRate>
timecodeFrameRateFromLegacyStringValue(std::string_view text) noexcept;
/// The string value, then the legacy names.
std::optional<TimecodeFrameRate>
timecodeFrameRateFromBackwardsCompatibleStringValue(std::string_view text) noexcept;
/// The non-drop timecode rate of the video rate found from frames per second to one decimal
/// place (23.976 → 23.98p → 23.976).
std::optional<TimecodeFrameRate> timecodeFrameRateFromFps(float fps, bool interlaced) noexcept;

namespace detail {
template <bool drop> constexpr auto ratesWithDropness() {
    constexpr auto& cases = koltutils::EnumTable<TimecodeFrameRate>::cases;
    constexpr std::size_t count = [] {
        std::size_t matching = 0;
        for (const auto& row : koltutils::EnumTable<TimecodeFrameRate>::cases) {
            matching += row.isDrop == drop ? 1 : 0;
        }
        return matching;
    }();
    std::array<TimecodeFrameRate, count> rates{};
    std::size_t index = 0;
    for (const auto& row : cases) {
        if (row.isDrop == drop) {
            rates[index++] = row.value;
        }
    }
    return rates;
}
} // namespace detail

/// The drop rates, in table order.
inline constexpr auto allDropTimecodeFrameRates = detail::ratesWithDropness<true>();
/// The non-drop rates, in table order.
inline constexpr auto allNonDropTimecodeFrameRates = detail::ratesWithDropness<false>();

/// Prints the string value.
std::ostream& operator<<(std::ostream& stream, TimecodeFrameRate frameRate);

} // namespace timecode
