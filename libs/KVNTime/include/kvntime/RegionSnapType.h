#pragma once

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <string_view>

namespace kvntime {

// Which edge of a region snaps. The raw value is also the display text.
enum class RegionSnapType : std::uint8_t { none, sync, start, end };

} // namespace kvntime

template <> struct koltutils::EnumTable<kvntime::RegionSnapType> {
    struct Row {
        kvntime::RegionSnapType value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 4> cases{{
        {kvntime::RegionSnapType::none, "Don't Snap"},
        {kvntime::RegionSnapType::sync, "Snap to sync"},
        {kvntime::RegionSnapType::start, "Snap to start"},
        {kvntime::RegionSnapType::end, "Snap to end"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvntime::RegionSnapType>());
