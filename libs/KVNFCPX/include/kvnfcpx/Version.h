#pragma once

#include <array>
#include <koltutils/EnumTable.h>
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

} // namespace kvnfcpx

// The raw value is the minor number; `stringValue` is the form written in documents.
template <> struct koltutils::EnumTable<kvnfcpx::Version> {
    struct Row {
        kvnfcpx::Version value;
        int rawValue;
        std::string_view stringValue;
    };
    static constexpr std::array<Row, 8> cases{{
        {kvnfcpx::Version::v1_6, 6, "1.6"},
        {kvnfcpx::Version::v1_7, 7, "1.7"},
        {kvnfcpx::Version::v1_8, 8, "1.8"},
        {kvnfcpx::Version::v1_9, 9, "1.9"},
        {kvnfcpx::Version::v1_10, 10, "1.10"},
        {kvnfcpx::Version::v1_11, 11, "1.11"},
        {kvnfcpx::Version::v1_12, 12, "1.12"},
        {kvnfcpx::Version::v1_13, 13, "1.13"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::Version>());

namespace kvnfcpx {

constexpr int rawValue(Version version) {
    return koltutils::caseOf(version).rawValue;
}

constexpr std::string_view stringValue(Version version) {
    return koltutils::caseOf(version).stringValue;
}

// Exact text match: no trimming, no numeric reading ("1.10" matches, " 1.10" and "1.10.0" don't).
constexpr std::optional<Version> versionFromString(std::string_view text) noexcept {
    for (const auto& row : koltutils::EnumTable<Version>::cases) {
        if (row.stringValue == text) {
            return row.value;
        }
    }
    return std::nullopt;
}

// "1.6, 1.7, 1.8, 1.9, 1.10, 1.11, 1.12 or 1.13": the supported versions for messages.
std::string supportedVersionList();

} // namespace kvnfcpx
