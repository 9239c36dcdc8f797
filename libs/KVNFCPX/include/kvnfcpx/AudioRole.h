#pragma once

#include <array>
#include <koltutils/EnumTable.h>
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

} // namespace kvnfcpx

template <> struct koltutils::EnumTable<kvnfcpx::AudioRole> {
    struct Row {
        kvnfcpx::AudioRole value;
        std::string_view rawValue;
        kvnfcpx::RGBAColor color;
    };
    static constexpr std::array<Row, 3> cases{{
        {kvnfcpx::AudioRole::dialogue, "dialogue", {0.25007582, 0.4740011, 0.7592863, 1}},
        {kvnfcpx::AudioRole::effects, "effects", {0.1652, 0.62276095, 0.65662205, 1}},
        {kvnfcpx::AudioRole::music, "music", {0.13202426, 0.5842783, 0.297068, 1}},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::AudioRole>());

namespace kvnfcpx {

constexpr RGBAColor color(AudioRole role) {
    return koltutils::caseOf(role).color;
}

} // namespace kvnfcpx
