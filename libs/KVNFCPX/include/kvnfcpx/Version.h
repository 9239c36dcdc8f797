#pragma once

#include "kvnfcpx/RawValueTable.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kvnfcpx {

// The FCPXML versions the engine reads. Cases are declared in release order, so the built-in
// comparison operators order versions (1.10 is later than 1.9).
enum class Version {
    v1_6,
    v1_7,
    v1_8,
    v1_9,
    v1_10,
    v1_11,
    v1_12,
    v1_13,
};

// The raw value is the minor number; `stringValue` is the form written in documents.
template <> struct RawValueTable<Version> {
    struct Entry {
        Version value;
        int rawValue;
        std::string_view stringValue;
    };
    static constexpr std::array<Entry, 8> entries{{
        {Version::v1_6, 6, "1.6"},
        {Version::v1_7, 7, "1.7"},
        {Version::v1_8, 8, "1.8"},
        {Version::v1_9, 9, "1.9"},
        {Version::v1_10, 10, "1.10"},
        {Version::v1_11, 11, "1.11"},
        {Version::v1_12, 12, "1.12"},
        {Version::v1_13, 13, "1.13"},
    }};
};
static_assert(isInDeclarationOrder<Version>());

constexpr std::string_view stringValue(Version version) noexcept {
    return tableEntry(version).stringValue;
}

// Exact text match: no trimming, no numeric reading ("1.10" matches, " 1.10" and "1.10.0" don't).
constexpr std::optional<Version> versionFromString(std::string_view text) noexcept {
    for (const auto& entry : RawValueTable<Version>::entries) {
        if (entry.stringValue == text) {
            return entry.value;
        }
    }
    return std::nullopt;
}

// "1.6, 1.7, 1.8, 1.9, 1.10, 1.11, 1.12 or 1.13": the supported versions for messages.
std::string supportedVersionList();

} // namespace kvnfcpx
