#pragma once

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <string>
#include <string_view>

namespace kvntime {

// Positions shown as plain minutes and seconds: "1:02:05.500", "62:05", "-00:05".
//
// Choices made here:
// - Times that are not finite show as 0; magnitudes beyond 10^15 seconds are shown as 10^15.
// - Reading: the whole of a trimmed part must be a decimal number or the part counts as 0, and
//   text of more than three parts reads as 0.
// - A DisplayString picks the form with milliseconds when the width reaches the threshold and
//   the form without them below it; hours follow `auto` in both.
struct RealTimeDomain {
    enum class HoursFormat : std::uint8_t { enable, disable, automatic };

    double masterSeconds = 0;

    // Hours always (`enable`), from 60 minutes on (`automatic`) or never (`disable`, minutes then
    // run past 59); "." and three digits of milliseconds (truncated) when asked.
    static std::string string(double seconds, HoursFormat showHours, bool showMilliseconds);
    // `masterSeconds` + `offset`.
    std::string string(HoursFormat showHours, bool showMilliseconds, double offset = 0) const;

    // "[-][[h:]m:]s", each part trimmed and read as a decimal number.
    static double parse(std::string_view text);

    class DisplayString {
    public:
        explicit DisplayString(double seconds);
        // The text for `width` points available: with milliseconds at `widthThreshold` and above.
        const std::string& string(double width, double widthThreshold) const noexcept;
        double seconds() const noexcept { return seconds_; }

    private:
        double seconds_;
        std::string withMilliseconds_;
        std::string withoutMilliseconds_;
    };

    friend bool operator==(const RealTimeDomain&, const RealTimeDomain&) = default;
};

} // namespace kvntime

template <> struct koltutils::EnumTable<kvntime::RealTimeDomain::HoursFormat> {
    struct Row {
        kvntime::RealTimeDomain::HoursFormat value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 3> cases{{
        {kvntime::RealTimeDomain::HoursFormat::enable, "enable"},
        {kvntime::RealTimeDomain::HoursFormat::disable, "disable"},
        {kvntime::RealTimeDomain::HoursFormat::automatic, "auto"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvntime::RealTimeDomain::HoursFormat>());
