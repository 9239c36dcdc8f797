#pragma once

#include <array>
#include <koltutils/EnumTable.h>
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

} // namespace kvnfcpx

template <> struct koltutils::EnumTable<kvnfcpx::ClipItem> {
    struct Row {
        kvnfcpx::ClipItem value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 12> cases{{
        {kvnfcpx::ClipItem::spine, "spine"},
        {kvnfcpx::ClipItem::gap, "gap"},
        {kvnfcpx::ClipItem::audition, "audition"},
        {kvnfcpx::ClipItem::assetClip, "asset-clip"},
        {kvnfcpx::ClipItem::refClip, "ref-clip"},
        {kvnfcpx::ClipItem::mcClip, "mc-clip"},
        {kvnfcpx::ClipItem::syncClip, "sync-clip"},
        {kvnfcpx::ClipItem::clip, "clip"},
        {kvnfcpx::ClipItem::marker, "marker"},
        {kvnfcpx::ClipItem::chapterMarker, "chapter-marker"},
        {kvnfcpx::ClipItem::transition, "transition"},
        {kvnfcpx::ClipItem::unknown, "unknown"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::ClipItem>());

namespace kvnfcpx {

// An element name read as a clip item: exact, case-sensitive; any other name is `unknown`.
constexpr ClipItem clipItemFromElementName(std::string_view name) noexcept {
    return koltutils::fromRawValue<ClipItem>(name).value_or(ClipItem::unknown);
}

// The container elements of a timeline.
enum class ClipGroupItem {
    spine,
    gap,
    audition,
};

} // namespace kvnfcpx

template <> struct koltutils::EnumTable<kvnfcpx::ClipGroupItem> {
    struct Row {
        kvnfcpx::ClipGroupItem value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 3> cases{{
        {kvnfcpx::ClipGroupItem::spine, "spine"},
        {kvnfcpx::ClipGroupItem::gap, "gap"},
        {kvnfcpx::ClipGroupItem::audition, "audition"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::ClipGroupItem>());

namespace kvnfcpx {

constexpr bool isClipGroupItem(std::string_view name) noexcept {
    return koltutils::fromRawValue<ClipGroupItem>(name).has_value();
}

} // namespace kvnfcpx
