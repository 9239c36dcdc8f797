#pragma once

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <string_view>

namespace timecode {

/// The span a timecode may cover.
enum class TimecodeUpperLimit : std::uint8_t {
    max24Hours,
    max100Days,
};

} // namespace timecode

template <> struct koltutils::EnumTable<timecode::TimecodeUpperLimit> {
    struct Row {
        timecode::TimecodeUpperLimit value;
        std::string_view rawValue;
        std::int64_t maxDays;    // the highest valid days component
        std::int64_t spanInDays; // how many 24-hour days the span holds
    };
    static constexpr std::array<Row, 2> cases{{
        {timecode::TimecodeUpperLimit::max24Hours, "24 hours", 0, 1},
        {timecode::TimecodeUpperLimit::max100Days, "100 days", 99, 100},
    }};
};
static_assert(koltutils::isInDeclarationOrder<timecode::TimecodeUpperLimit>());

namespace timecode {

/// The highest valid days component: 0 within 24 hours, 99 within 100 days.
constexpr std::int64_t maxDays(TimecodeUpperLimit limit) {
    return koltutils::caseOf(limit).maxDays;
}

/// The number of 24-hour days in the span (1 or 100).
constexpr std::int64_t spanInDays(TimecodeUpperLimit limit) {
    return koltutils::caseOf(limit).spanInDays;
}

} // namespace timecode
