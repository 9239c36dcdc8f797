#pragma once

#include "kvnfcpx/RawValueTable.h"

#include <array>
#include <string_view>

namespace kvnfcpx {

// The three standard audio roles of Final Cut Pro, each with the colour it is shown in.
enum class AudioRole {
    dialogue,
    effects,
    music,
};

struct RGBAColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    friend constexpr bool operator==(const RGBAColor&, const RGBAColor&) = default;
};

template <> struct RawValueTable<AudioRole> {
    struct Entry {
        AudioRole value;
        std::string_view rawValue;
        RGBAColor color;
    };
    static constexpr std::array<Entry, 3> entries{{
        {AudioRole::dialogue, "dialogue", {0.25007582, 0.4740011, 0.7592863, 1}},
        {AudioRole::effects, "effects", {0.1652, 0.62276095, 0.65662205, 1}},
        {AudioRole::music, "music", {0.13202426, 0.5842783, 0.297068, 1}},
    }};
};
static_assert(isInDeclarationOrder<AudioRole>());

constexpr RGBAColor color(AudioRole role) noexcept {
    return tableEntry(role).color;
}

} // namespace kvnfcpx
