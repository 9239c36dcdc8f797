#pragma once

#include "kvnfcpx/ClipTime.h"
#include "kvnfcpx/RawValueTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvnfcpx {

// The audio (or video) part of a clip whose media sits in a nested "audio"/"video" element.
struct ClipContent {
    enum class ContentType {
        audio,
        video,
    };

    ContentType contentType = ContentType::audio;
    // The id of the asset it plays.
    std::string ref;
    ClipTime clipTime;
    std::optional<std::string> role;
    // Source channel numbers.
    std::optional<std::vector<std::int64_t>> srcCh;
    std::optional<std::int64_t> lane;

    friend bool operator==(const ClipContent&, const ClipContent&) = default;
};

template <> struct RawValueTable<ClipContent::ContentType> {
    struct Entry {
        ClipContent::ContentType value;
        std::string_view rawValue;
    };
    static constexpr std::array<Entry, 2> entries{{
        {ClipContent::ContentType::audio, "audio"},
        {ClipContent::ContentType::video, "video"},
    }};
};
static_assert(isInDeclarationOrder<ClipContent::ContentType>());

std::ostream& operator<<(std::ostream& stream, const ClipContent& content);

} // namespace kvnfcpx
