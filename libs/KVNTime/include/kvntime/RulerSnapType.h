#pragma once

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <string_view>

namespace kvntime {

// What a position on the ruler snaps to. The raw value is also the display text.
enum class RulerSnapType : std::uint8_t { none, bar, beat, subdivision, frame, magnetic };

} // namespace kvntime

template <> struct koltutils::EnumTable<kvntime::RulerSnapType> {
    struct Row {
        kvntime::RulerSnapType value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 6> cases{{
        {kvntime::RulerSnapType::none, "Don't Snap"},
        {kvntime::RulerSnapType::bar, "Bar"},
        {kvntime::RulerSnapType::beat, "Beat"},
        {kvntime::RulerSnapType::subdivision, "Subdivision"},
        {kvntime::RulerSnapType::frame, "Frame"},
        {kvntime::RulerSnapType::magnetic, "Magnetic"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvntime::RulerSnapType>());
