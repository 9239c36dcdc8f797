#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <koltutils/EnumTable.h>
#include <string_view>

namespace timecode {

/// Thrown when a creation or conversion would give a timecode that is not valid for its
/// properties. `outOfBounds`: a time, frame count or arithmetic result outside the span of the
/// upper limit, or one that cannot be represented at all (not a number, beyond 64 bits).
/// `invalid`: components given directly (or read from a string) that are out of range.
class TimecodeValidationError : public std::exception {
public:
    enum class Kind : std::uint8_t {
        invalid,
        outOfBounds,
    };

    explicit TimecodeValidationError(Kind kind) noexcept : kind_(kind) {}

    static TimecodeValidationError invalid() noexcept {
        return TimecodeValidationError(Kind::invalid);
    }
    static TimecodeValidationError outOfBounds() noexcept {
        return TimecodeValidationError(Kind::outOfBounds);
    }

    Kind kind() const noexcept { return kind_; }

    /// "Timecode is invalid." or "Timecode is out of bounds."
    const char* what() const noexcept override;

    friend bool operator==(const TimecodeValidationError& lhs,
                           const TimecodeValidationError& rhs) noexcept {
        return lhs.kind_ == rhs.kind_;
    }

private:
    Kind kind_;
};

} // namespace timecode

template <> struct koltutils::EnumTable<timecode::TimecodeValidationError::Kind> {
    struct Row {
        timecode::TimecodeValidationError::Kind value;
        std::string_view rawValue;
        const char* message;
    };
    static constexpr std::array<Row, 2> cases{{
        {timecode::TimecodeValidationError::Kind::invalid, "invalid", "Timecode is invalid."},
        {timecode::TimecodeValidationError::Kind::outOfBounds, "outOfBounds",
         "Timecode is out of bounds."},
    }};
};
static_assert(koltutils::isInDeclarationOrder<timecode::TimecodeValidationError::Kind>());

inline const char* timecode::TimecodeValidationError::what() const noexcept {
    return koltutils::EnumTable<Kind>::cases[static_cast<std::size_t>(kind_)].message;
}
