#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <koltutils/EnumTable.h>
#include <string_view>

namespace timecode {

/// Names one field of a timecode's components; validation reports invalid fields by these names.
enum class TimecodeComponent : std::uint8_t {
    days,
    hours,
    minutes,
    seconds,
    frames,
    subFrames,
};

/// The fields of a timecode label. Any values may be held; whether they are valid depends on the
/// timecode's properties (see Timecode::invalidComponents()).
struct TimecodeComponents {
    std::int64_t days = 0;
    std::int64_t hours = 0;
    std::int64_t minutes = 0;
    std::int64_t seconds = 0;
    std::int64_t frames = 0;
    std::int64_t subFrames = 0;

    /// The field that `component` names.
    constexpr std::int64_t& operator[](TimecodeComponent component);
    constexpr std::int64_t operator[](TimecodeComponent component) const;

    friend bool operator==(const TimecodeComponents&, const TimecodeComponents&) = default;

    std::size_t hashValue() const noexcept;
};

} // namespace timecode

template <> struct koltutils::EnumTable<timecode::TimecodeComponent> {
    struct Row {
        timecode::TimecodeComponent value;
        std::string_view rawValue;
        std::int64_t timecode::TimecodeComponents::*field;
    };
    static constexpr std::array<Row, 6> cases{{
        {timecode::TimecodeComponent::days, "days", &timecode::TimecodeComponents::days},
        {timecode::TimecodeComponent::hours, "hours", &timecode::TimecodeComponents::hours},
        {timecode::TimecodeComponent::minutes, "minutes", &timecode::TimecodeComponents::minutes},
        {timecode::TimecodeComponent::seconds, "seconds", &timecode::TimecodeComponents::seconds},
        {timecode::TimecodeComponent::frames, "frames", &timecode::TimecodeComponents::frames},
        {timecode::TimecodeComponent::subFrames, "subFrames",
         &timecode::TimecodeComponents::subFrames},
    }};
};
static_assert(koltutils::isInDeclarationOrder<timecode::TimecodeComponent>());

constexpr std::int64_t& timecode::TimecodeComponents::operator[](TimecodeComponent component) {
    return this->*koltutils::caseOf(component).field;
}

constexpr std::int64_t timecode::TimecodeComponents::operator[](TimecodeComponent component) const {
    return this->*koltutils::caseOf(component).field;
}

template <> struct std::hash<timecode::TimecodeComponents> {
    std::size_t operator()(const timecode::TimecodeComponents& components) const noexcept {
        return components.hashValue();
    }
};
