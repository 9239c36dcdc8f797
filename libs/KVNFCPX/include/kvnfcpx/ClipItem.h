#pragma once

#include "kvnfcpx/RawValueTable.h"

#include <array>
#include <string_view>

namespace kvnfcpx {

// The kind of timeline element; the raw value is the element name.
enum class ClipItem {
    spine,
    gap,
    audition,
    assetClip,
    refClip,
    mcClip,
    syncClip,
    clip,
    marker,
    chapterMarker,
    transition,
    unknown,
};

template <> struct RawValueTable<ClipItem> {
    struct Entry {
        ClipItem value;
        std::string_view rawValue;
    };
    static constexpr std::array<Entry, 12> entries{{
        {ClipItem::spine, "spine"},
        {ClipItem::gap, "gap"},
        {ClipItem::audition, "audition"},
        {ClipItem::assetClip, "asset-clip"},
        {ClipItem::refClip, "ref-clip"},
        {ClipItem::mcClip, "mc-clip"},
        {ClipItem::syncClip, "sync-clip"},
        {ClipItem::clip, "clip"},
        {ClipItem::marker, "marker"},
        {ClipItem::chapterMarker, "chapter-marker"},
        {ClipItem::transition, "transition"},
        {ClipItem::unknown, "unknown"},
    }};
};
static_assert(isInDeclarationOrder<ClipItem>());

// An element name read as a clip item: exact, case-sensitive; any other name is `unknown`.
constexpr ClipItem clipItemFromElementName(std::string_view name) noexcept {
    return fromRawValue<ClipItem>(name).value_or(ClipItem::unknown);
}

// The container elements of a timeline.
enum class ClipGroupItem {
    spine,
    gap,
    audition,
};

template <> struct RawValueTable<ClipGroupItem> {
    struct Entry {
        ClipGroupItem value;
        std::string_view rawValue;
    };
    static constexpr std::array<Entry, 3> entries{{
        {ClipGroupItem::spine, "spine"},
        {ClipGroupItem::gap, "gap"},
        {ClipGroupItem::audition, "audition"},
    }};
};
static_assert(isInDeclarationOrder<ClipGroupItem>());

constexpr bool isClipGroupItem(std::string_view name) noexcept {
    return fromRawValue<ClipGroupItem>(name).has_value();
}

} // namespace kvnfcpx
