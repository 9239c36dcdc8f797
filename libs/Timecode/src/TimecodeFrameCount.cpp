#include "timecode/TimecodeFrameCount.h"

#include "HashCombine.h"
#include "TimecodeWideInt.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

namespace timecode {

namespace {

using detail::TimecodeWideInt;

constexpr double twoToThe63 = 9223372036854775808.0;

std::int64_t truncatedFrames(double frames) {
    if (!std::isfinite(frames) || frames >= twoToThe63 || frames < -twoToThe63) {
        throw TimecodeValidationError::outOfBounds();
    }
    return static_cast<std::int64_t>(frames);
}

// The fractional part of the value times base, truncated toward zero, computed on the shortest
// decimal text of the double rather than on its binary value: 1.57 frames at base 100 have 57
// sub-frames here, where double arithmetic gives 56.99... Decimals beyond the 17th cannot move
// the result across a whole number, because every multiple of 1/base (base 80, 100 or 4) has
// at most four decimals. From 2^53 on a double holds no fraction at all.
std::int64_t truncatedDecimalFractionTimesBase(double value, std::int64_t base) {
    constexpr double twoToThe53 = 9007199254740992.0;
    if (!(std::abs(value) < twoToThe53)) {
        return 0;
    }
    char text[40];
    const auto written = std::to_chars(std::begin(text), std::end(text), std::abs(value),
                                       std::chars_format::scientific);
    const std::string_view scientific(text, static_cast<std::size_t>(written.ptr - text));
    const std::size_t exponentAt = scientific.find('e');
    std::string digits; // d0 d1 d2 ... standing for d0.d1d2... × 10^exponent
    for (const char character : scientific.substr(0, exponentAt)) {
        if (character != '.') {
            digits += character;
        }
    }
    const std::string_view exponentText = scientific.substr(exponentAt + 1);
    int exponent = 0;
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);

    const long firstFractionDigit = static_cast<long>(exponent) + 1;
    constexpr int fractionDigits = 17;
    std::uint64_t fraction = 0;
    std::uint64_t scale = 1;
    for (long position = firstFractionDigit; position < firstFractionDigit + fractionDigits;
         ++position) {
        const bool inDigits = position >= 0 && position < static_cast<long>(digits.size());
        fraction =
            fraction * 10 +
            (inDigits ? static_cast<std::uint64_t>(digits[static_cast<std::size_t>(position)] - '0')
                      : 0);
        scale *= 10;
    }
    const auto subFrames =
        static_cast<std::int64_t>(fraction * static_cast<std::uint64_t>(base) / scale);
    return std::signbit(value) ? -subFrames : subFrames;
}

struct Parts {
    std::int64_t wholeFrames;
    std::int64_t subFrames;
};

Parts partsOf(const TimecodeFrameCount::Value& value, std::int64_t base) {
    return std::visit(
        [base](const auto& payload) -> Parts {
            using Payload = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<Payload, TimecodeFrameCount::Frames>) {
                return {payload.frames, 0};
            } else if constexpr (std::is_same_v<Payload, TimecodeFrameCount::Split>) {
                return {payload.frames, payload.subFrames};
            } else if constexpr (std::is_same_v<Payload, TimecodeFrameCount::Combined>) {
                return {truncatedFrames(payload.frames),
                        truncatedDecimalFractionTimesBase(payload.frames, base)};
            } else {
                const double interval = payload.subFramesUnitInterval;
                const TimecodeWideInt subFrames =
                    TimecodeWideInt{truncatedFrames(interval)} * base +
                    truncatedDecimalFractionTimesBase(interval, base);
                return {payload.frames, detail::narrowOrThrow(subFrames)};
            }
        },
        value);
}

TimecodeWideInt totalSubFrames(const TimecodeFrameCount& count) {
    return TimecodeWideInt{count.wholeFrames()} * subFramesPerFrame(count.subFramesBase()) +
           count.subFrames();
}

} // namespace

TimecodeFrameCount::TimecodeFrameCount(Value value, TimecodeSubFramesBase base)
    : value_(value), base_(base) {
    const Parts parts = partsOf(value_, subFramesPerFrame(base_));
    wholeFrames_ = parts.wholeFrames;
    subFrames_ = parts.subFrames;
}

double TimecodeFrameCount::doubleValue() const noexcept {
    const auto base = static_cast<double>(subFramesPerFrame(base_));
    return std::visit(
        [base](const auto& payload) -> double {
            using Payload = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<Payload, Frames>) {
                return static_cast<double>(payload.frames);
            } else if constexpr (std::is_same_v<Payload, Split>) {
                return static_cast<double>(payload.frames) +
                       static_cast<double>(payload.subFrames) / base;
            } else if constexpr (std::is_same_v<Payload, Combined>) {
                return payload.frames;
            } else {
                return static_cast<double>(payload.frames) + payload.subFramesUnitInterval;
            }
        },
        value_);
}

bool operator==(const TimecodeFrameCount& lhs, const TimecodeFrameCount& rhs) noexcept {
    return totalSubFrames(lhs) == totalSubFrames(rhs);
}

std::strong_ordering operator<=>(const TimecodeFrameCount& lhs,
                                 const TimecodeFrameCount& rhs) noexcept {
    const TimecodeWideInt left = totalSubFrames(lhs);
    const TimecodeWideInt right = totalSubFrames(rhs);
    return left < right
               ? std::strong_ordering::less
               : (left > right ? std::strong_ordering::greater : std::strong_ordering::equal);
}

std::size_t TimecodeFrameCount::hashValue() const noexcept {
    const TimecodeWideInt total = totalSubFrames(*this);
    std::size_t seed = 0;
    detail::hashCombine(seed, static_cast<std::uint64_t>(total));
    detail::hashCombine(seed, static_cast<std::uint64_t>(total >> 64));
    return seed;
}

} // namespace timecode
