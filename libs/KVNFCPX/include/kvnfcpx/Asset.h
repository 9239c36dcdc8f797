#pragma once

#include "kvnfcpx/ClipTime.h"

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <koltutils/URL.h>
#include <optional>
#include <string>
#include <string_view>

namespace kvnfcpx {

// An "asset" resource: one media file that clips play.
struct Asset {
    // Where the asset's media is: the chosen "media-rep" (or the asset element itself).
    struct MediaRep {
        enum class Kind {
            proxyMedia,
            originalMedia,
        };

        std::optional<Kind> kind{};
        std::optional<std::string> sig{};
        // As written, or the absolute string of the location a bookmark resolved to.
        std::string src{};
        // Base64 text of a file bookmark.
        std::optional<std::string> bookmark{};
        std::optional<koltutils::URL> url{};

        friend bool operator==(const MediaRep&, const MediaRep&) = default;
    };

    // Never read from the document; kept for the stored form.
    std::optional<std::string> name{};
    std::optional<std::string> uid{};
    std::optional<std::int64_t> audioChannels{};
    std::optional<double> audioRate{};
    std::optional<std::int64_t> audioSources{};
    bool hasAudio = false;
    bool hasVideo = false;
    std::string id{};
    // Read from the asset element's own time attributes.
    ClipTime clipTime{};
    MediaRep mediaRep{};

    friend bool operator==(const Asset&, const Asset&) = default;
};

} // namespace kvnfcpx

template <> struct koltutils::EnumTable<kvnfcpx::Asset::MediaRep::Kind> {
    struct Row {
        kvnfcpx::Asset::MediaRep::Kind value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 2> cases{{
        {kvnfcpx::Asset::MediaRep::Kind::proxyMedia, "proxy-media"},
        {kvnfcpx::Asset::MediaRep::Kind::originalMedia, "original-media"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::Asset::MediaRep::Kind>());
