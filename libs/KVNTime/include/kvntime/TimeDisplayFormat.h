#pragma once

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <string_view>

namespace kvntime {

// How a time is written out: the raw value is stored, the display name shown.
enum class TimeDisplayFormat : std::uint8_t { timecode, seconds };

} // namespace kvntime

template <> struct koltutils::EnumTable<kvntime::TimeDisplayFormat> {
    struct Row {
        kvntime::TimeDisplayFormat value;
        std::string_view rawValue;
        std::string_view displayName;
    };
    static constexpr std::array<Row, 2> cases{{
        {kvntime::TimeDisplayFormat::timecode, "timecode", "Timecode"},
        {kvntime::TimeDisplayFormat::seconds, "seconds", "Seconds"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvntime::TimeDisplayFormat>());

namespace kvntime {

constexpr std::string_view displayName(TimeDisplayFormat format) {
    return koltutils::caseOf(format).displayName;
}

} // namespace kvntime
