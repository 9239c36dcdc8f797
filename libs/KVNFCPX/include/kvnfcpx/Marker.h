#pragma once

#include "kvnfcpx/ClipTime.h"

#include <array>
#include <cstddef>
#include <koltutils/EnumTable.h>
#include <string>
#include <string_view>

namespace kvnfcpx {

// A marker or chapter marker of the timeline. `clipTime.clipItem` (`marker` or
// `chapterMarker`) tells the two apart; `clipTime.offset` counts from the sequence start.
struct Marker {
    enum class MarkerKind {
        comment,
        chapter,
    };

    // Empty when the document gives none.
    std::string value{};
    ClipTime clipTime{};

    [[nodiscard]] constexpr MarkerKind kind() const noexcept {
        return clipTime.clipItem == ClipItem::chapterMarker ? MarkerKind::chapter
                                                            : MarkerKind::comment;
    }

    friend bool operator==(const Marker&, const Marker&) = default;
};

} // namespace kvnfcpx

template <> struct koltutils::EnumTable<kvnfcpx::Marker::MarkerKind> {
    struct Row {
        kvnfcpx::Marker::MarkerKind value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 2> cases{{
        {kvnfcpx::Marker::MarkerKind::comment, "Comment"},
        {kvnfcpx::Marker::MarkerKind::chapter, "Chapter"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::Marker::MarkerKind>());

template <> struct std::hash<kvnfcpx::Marker> {
    std::size_t operator()(const kvnfcpx::Marker& marker) const noexcept;
};
