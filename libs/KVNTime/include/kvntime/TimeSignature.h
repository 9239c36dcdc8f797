#pragma once

#include <string>

namespace kvntime {

// Beats per bar over the note value of a beat. Valid when the numerator is at least 1 and the
// denominator a power of two from 2 up (2, 4, 8, ...); 4/1 and 4/3 are not time signatures.
struct TimeSignature {
    int numerator = 4;
    int denominator = 4;

    // 4/4.
    constexpr TimeSignature() noexcept = default;
    // Throws koltutils::DescribedError "invalid arguments: <numerator>/<denominator>".
    TimeSignature(int numerator, int denominator);

    static constexpr TimeSignature _4_4() noexcept { return TimeSignature(); }
    static constexpr bool isValid(int numerator, int denominator) noexcept {
        return numerator >= 1 && denominator >= 2 && (denominator & (denominator - 1)) == 0;
    }

    // "4/4".
    std::string description() const;

    friend constexpr bool operator==(const TimeSignature&, const TimeSignature&) noexcept = default;
};

} // namespace kvntime
