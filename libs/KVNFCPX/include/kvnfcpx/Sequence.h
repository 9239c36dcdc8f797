#pragma once

#include "kvnfcpx/SequenceContent.h"

#include <array>
#include <koltutils/EnumTable.h>
#include <optional>
#include <string>
#include <string_view>
#include <timecode/CMTime.h>

namespace kvnfcpx {

// The sequence of a project, with its flattened content.
struct Sequence {
    enum class TimecodeFormat {
        dropFrame,
        nonDropFrame,
    };

    enum class AudioLayout {
        mono,
        stereo,
        surround,
    };

    // Zero when the document gives none.
    timecode::CMTime tcStart = timecode::CMTime::zero;
    std::optional<TimecodeFormat> tcFormat{};
    // The id of a format resource.
    std::optional<std::string> format{};
    // In hertz, read from a rate name such as "48k" (see audioRateFromName).
    std::optional<double> audioRate{};
    std::optional<AudioLayout> audioLayout{};
    std::optional<std::string> renderFormat{};
    std::optional<timecode::CMTime> duration{};
    std::optional<SequenceContent> content{};

    friend bool operator==(const Sequence&, const Sequence&) = default;
};

} // namespace kvnfcpx

template <> struct koltutils::EnumTable<kvnfcpx::Sequence::TimecodeFormat> {
    struct Row {
        kvnfcpx::Sequence::TimecodeFormat value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 2> cases{{
        {kvnfcpx::Sequence::TimecodeFormat::dropFrame, "DF"},
        {kvnfcpx::Sequence::TimecodeFormat::nonDropFrame, "NDF"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::Sequence::TimecodeFormat>());

template <> struct koltutils::EnumTable<kvnfcpx::Sequence::AudioLayout> {
    struct Row {
        kvnfcpx::Sequence::AudioLayout value;
        std::string_view rawValue;
    };
    static constexpr std::array<Row, 3> cases{{
        {kvnfcpx::Sequence::AudioLayout::mono, "mono"},
        {kvnfcpx::Sequence::AudioLayout::stereo, "stereo"},
        {kvnfcpx::Sequence::AudioLayout::surround, "surround"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnfcpx::Sequence::AudioLayout>());

namespace kvnfcpx {

// The audio rate names FCPXML writes, with their rates in hertz; both directions are exact.
struct AudioRateName {
    std::string_view name{};
    double hertz{};
};

inline constexpr std::array<AudioRateName, 7> audioRateNames{{
    {"32k", 32000},
    {"44.1k", 44100},
    {"48k", 48000},
    {"88.2k", 88200},
    {"96k", 96000},
    {"176.4k", 176400},
    {"192k", 192000},
}};

constexpr std::optional<double> audioRateFromName(std::string_view name) noexcept {
    for (const auto& rate : audioRateNames) {
        if (rate.name == name) {
            return rate.hertz;
        }
    }
    return std::nullopt;
}

constexpr std::optional<std::string_view> audioRateName(double hertz) noexcept {
    for (const auto& rate : audioRateNames) {
        if (rate.hertz == hertz) {
            return rate.name;
        }
    }
    return std::nullopt;
}

} // namespace kvnfcpx
