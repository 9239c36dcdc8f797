#pragma once

#include "kvnfcpx/ClipTime.h"

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
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
    std::string ref{};
    ClipTime clipTime{};
    std::optional<std::string> role{};
    // Source channel numbers.
    std::optional<std::vector<std::int64_t>> srcCh{};
    std::optional<std::int64_t> lane{};

    // One line for log output.
    [[nodiscard]] std::string description() const;

    friend bool operator==(const ClipContent&, const ClipContent&) = default;
};

} // namespace kvnfcpx

template <> struct koltutils::EnumTable<kvnfcpx::ClipContent::ContentType> {
    struct Row {
        kvnfcpx::ClipContent::ContentType value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 2> cases{{
        {kvnfcpx::ClipContent::ContentType::audio, "audio"},
        {kvnfcpx::ClipContent::ContentType::video, "video"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::ClipContent::ContentType>());
