#pragma once

#include <cstdint>
#include <initializer_list>

namespace timecode {

/// Options of a timecode's string form.
enum class TimecodeStringFormatOption : std::uint8_t {
    /// Print the days field even when it is 0.
    alwaysShowDays,
    /// Append "." and the sub-frames.
    showSubFrames,
    /// Replace every ":", ";" and blank with "-".
    filenameCompatible,
};

/// A set of TimecodeStringFormatOption; the empty set is the plain form "01:00:00:00".
class TimecodeStringFormat {
public:
    constexpr TimecodeStringFormat() noexcept = default;
    constexpr TimecodeStringFormat(
        std::initializer_list<TimecodeStringFormatOption> options) noexcept {
        for (const auto option : options) {
            insert(option);
        }
    }

    constexpr bool contains(TimecodeStringFormatOption option) const noexcept {
        return (bits_ & bit(option)) != 0;
    }
    constexpr void insert(TimecodeStringFormatOption option) noexcept {
        bits_ = static_cast<std::uint8_t>(bits_ | bit(option));
    }
    constexpr void remove(TimecodeStringFormatOption option) noexcept {
        bits_ = static_cast<std::uint8_t>(bits_ & ~bit(option));
    }
    constexpr bool empty() const noexcept { return bits_ == 0; }

    friend constexpr bool operator==(TimecodeStringFormat, TimecodeStringFormat) noexcept = default;

private:
    static constexpr std::uint8_t bit(TimecodeStringFormatOption option) noexcept {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(option));
    }

    std::uint8_t bits_ = 0;
};

} // namespace timecode
