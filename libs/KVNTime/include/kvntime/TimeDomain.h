#pragma once

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <string_view>

namespace kvntime {

// The three ways a position is shown. The raw value is also the display text.
enum class TimeDomain : std::uint8_t { realTime, timecode, musical };

} // namespace kvntime

template <> struct koltutils::EnumTable<kvntime::TimeDomain> {
    struct Row {
        kvntime::TimeDomain value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 3> cases{{
        {kvntime::TimeDomain::realTime, "Time"},
        {kvntime::TimeDomain::timecode, "Timecode"},
        {kvntime::TimeDomain::musical, "Bars"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvntime::TimeDomain>());
