#pragma once

#include <array>
#include <cstdint>
#include <koltutils/EnumTable.h>
#include <optional>
#include <string_view>

namespace timecode {

/// How finely a timecode divides one frame.
enum class TimecodeSubFramesBase : std::uint8_t {
    max80SubFrames,
    max100SubFrames,
    quarterFrames,
};

} // namespace timecode

template <> struct koltutils::EnumTable<timecode::TimecodeSubFramesBase> {
    struct Row {
        timecode::TimecodeSubFramesBase value;
        std::string_view rawValue;
        std::int64_t subFramesPerFrame;
        int numberOfDigits; // width of the sub-frames field: the digits of the highest sub-frame
    };
    static constexpr std::array<Row, 3> cases{{
        {timecode::TimecodeSubFramesBase::max80SubFrames, "max80SubFrames", 80, 2},
        {timecode::TimecodeSubFramesBase::max100SubFrames, "max100SubFrames", 100, 2},
        {timecode::TimecodeSubFramesBase::quarterFrames, "quarterFrames", 4, 1},
    }};
};
static_assert(koltutils::isInDeclarationOrder<timecode::TimecodeSubFramesBase>());

namespace timecode {

/// Sub-frames per frame (80, 100 or 4).
constexpr std::int64_t subFramesPerFrame(TimecodeSubFramesBase base) {
    return koltutils::caseOf(base).subFramesPerFrame;
}

/// The highest sub-frame a timecode may hold (79, 99 or 3).
constexpr std::int64_t maxSubFrame(TimecodeSubFramesBase base) {
    return subFramesPerFrame(base) - 1;
}

/// Width of the sub-frames field of a timecode string (2, 2 or 1).
constexpr int numberOfDigits(TimecodeSubFramesBase base) {
    return koltutils::caseOf(base).numberOfDigits;
}

/// The base that divides a frame into `count` sub-frames, if there is one.
constexpr std::optional<TimecodeSubFramesBase> subFramesBaseFromCount(std::int64_t count) noexcept {
    for (const auto& row : koltutils::EnumTable<TimecodeSubFramesBase>::cases) {
        if (row.subFramesPerFrame == count) {
            return row.value;
        }
    }
    return std::nullopt;
}

} // namespace timecode
