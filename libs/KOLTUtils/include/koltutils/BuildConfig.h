#pragma once

#include "koltutils/EnumTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace koltutils {

// The kind of build; decides whether debug log lines are written (not in `release`).
enum class BuildConfig : std::uint8_t { debug, beta, publicBeta, release, testing };

struct BuildConfigCase {
    BuildConfig value;
    std::string_view rawValue;
    std::string_view description;
    bool isInternal;
    bool isBeta;
    bool isRelease;
};

template <> struct EnumTable<BuildConfig> {
    static constexpr std::array<BuildConfigCase, 5> cases{{
        {BuildConfig::debug, "debug", "DEBUG", true, true, false},
        {BuildConfig::beta, "beta", "BETA", true, true, false},
        {BuildConfig::publicBeta, "publicBeta", "PUBLIC BETA", false, true, false},
        {BuildConfig::release, "release", "", false, false, true},
        {BuildConfig::testing, "testing", "Testing only", true, true, false},
    }};
};
static_assert(isInDeclarationOrder<BuildConfig>());

constexpr std::string_view description(BuildConfig config) {
    return caseOf(config).description;
}
constexpr bool isInternal(BuildConfig config) {
    return caseOf(config).isInternal;
}
constexpr bool isBeta(BuildConfig config) {
    return caseOf(config).isBeta;
}
constexpr bool isRelease(BuildConfig config) {
    return caseOf(config).isRelease;
}

// A build configuration in a log line reads as its description.
inline std::string describe(BuildConfig config) {
    return std::string(description(config));
}

} // namespace koltutils
