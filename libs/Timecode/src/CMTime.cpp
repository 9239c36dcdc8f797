#include "timecode/CMTime.h"

#include "HashCombine.h"

#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <ostream>

namespace timecode {
namespace {

using Wide = detail::CMTimeWideInt;

constexpr Wide int64Min = std::numeric_limits<std::int64_t>::min();
constexpr Wide int64Max = std::numeric_limits<std::int64_t>::max();

struct RoundedQuotient {
    Wide quotient = 0;
    bool inexact = false;
};

// numerator ÷ denominator for a positive denominator, rounded half away from zero (CoreMedia's
// default rounding).
constexpr RoundedQuotient divideRoundingHalfAwayFromZero(Wide numerator, Wide denominator) {
    Wide quotient = numerator / denominator;
    const Wide remainder = numerator % denominator;
    if (remainder == 0) {
        return {quotient, false};
    }
    const Wide twiceRemainder = remainder < 0 ? -2 * remainder : 2 * remainder;
    if (twiceRemainder >= denominator) {
        quotient += numerator < 0 ? -1 : 1;
    }
    return {quotient, true};
}

constexpr CMTime infinity(int sign) {
    return sign > 0 ? CMTime::positiveInfinity : CMTime::negativeInfinity;
}

// The exact number numerator/denominator (denominator > 0) expressed over `timescale`; while the
// value does not fit 64 bits the timescale is halved, and below timescale 1 it saturates to an
// infinity.
CMTime atTimescale(Wide numerator, Wide denominator, std::int64_t timescale, bool rounded,
                   std::int64_t epoch) {
    for (;; timescale /= 2) {
        const auto [value, inexact] =
            divideRoundingHalfAwayFromZero(numerator * timescale, denominator);
        if (value >= int64Min && value <= int64Max) {
            const bool marked = rounded || inexact;
            return CMTime{static_cast<std::int64_t>(value), static_cast<std::int32_t>(timescale),
                          CMTimeFlags::valid |
                              (marked ? CMTimeFlags::hasBeenRounded : CMTimeFlags::none),
                          epoch};
        }
        if (timescale == 1) {
            return infinity(numerator < 0 ? -1 : 1);
        }
    }
}

std::int64_t resultTimescale(std::int32_t lhs, std::int32_t rhs) {
    if (lhs == rhs) {
        return lhs;
    }
    const std::int64_t leastCommonMultiple = std::int64_t{lhs} / std::gcd(lhs, rhs) * rhs;
    return std::min<std::int64_t>(leastCommonMultiple, CMTime::maxTimescale);
}

// Epoch 0 is a duration that can be added to (or taken from) a time in any epoch; times in two
// different epochs cannot be combined because the length of an epoch is unknown.
std::optional<std::int64_t> resultEpoch(std::int64_t lhs, std::int64_t rhs, bool subtracting) {
    if (rhs == 0) {
        return lhs;
    }
    if (lhs == rhs) {
        return subtracting ? 0 : lhs;
    }
    if (lhs == 0 && !subtracting) {
        return rhs;
    }
    return std::nullopt;
}

int infinitySign(const CMTime& time) {
    if (time.isPositiveInfinity()) {
        return 1;
    }
    return time.isNegativeInfinity() ? -1 : 0;
}

CMTime combine(const CMTime& lhs, const CMTime& rhs, bool subtracting) {
    if (!lhs.isValid() || !rhs.isValid()) {
        return CMTime::invalid;
    }
    const int lhsInfinity = infinitySign(lhs);
    const int rhsInfinity = subtracting ? -infinitySign(rhs) : infinitySign(rhs);
    if (lhsInfinity != 0 && rhsInfinity != 0) {
        return lhsInfinity == rhsInfinity ? infinity(lhsInfinity) : CMTime::invalid;
    }
    if (lhsInfinity != 0 || rhsInfinity != 0) {
        return infinity(lhsInfinity + rhsInfinity);
    }
    if (lhs.isIndefinite() || rhs.isIndefinite()) {
        return CMTime::indefinite;
    }
    const auto epoch = resultEpoch(lhs.epoch, rhs.epoch, subtracting);
    if (!epoch) {
        return CMTime::invalid;
    }
    const Wide lhsScaled = static_cast<Wide>(lhs.value) * rhs.timescale;
    const Wide rhsScaled = static_cast<Wide>(rhs.value) * lhs.timescale;
    const Wide numerator = subtracting ? lhsScaled - rhsScaled : lhsScaled + rhsScaled;
    const Wide denominator = static_cast<Wide>(lhs.timescale) * rhs.timescale;
    return atTimescale(numerator, denominator, resultTimescale(lhs.timescale, rhs.timescale),
                       lhs.hasBeenRounded() || rhs.hasBeenRounded(), *epoch);
}

} // namespace

CMTime CMTime::fromSeconds(double seconds, std::int32_t preferredTimescale) noexcept {
    if (std::isnan(seconds) || preferredTimescale <= 0) {
        return invalid;
    }
    if (std::isinf(seconds)) {
        return infinity(seconds > 0 ? 1 : -1);
    }
    for (std::int32_t timescale = preferredTimescale;; timescale /= 2) {
        const double scaled = std::round(seconds * timescale);
        if (scaled >= -0x1p63 && scaled < 0x1p63) {
            CMTime time = make(static_cast<std::int64_t>(scaled), timescale);
            if (time.seconds() != seconds) {
                time.flags = time.flags | CMTimeFlags::hasBeenRounded;
            }
            return time;
        }
        if (timescale == 1) {
            return infinity(seconds > 0 ? 1 : -1);
        }
    }
}

double CMTime::seconds() const noexcept {
    switch (orderRank()) {
    case numericRank:
        return static_cast<double>(value) / timescale;
    case 0:
        return -std::numeric_limits<double>::infinity();
    case 3:
        return std::numeric_limits<double>::infinity();
    default:
        return std::numeric_limits<double>::quiet_NaN();
    }
}

std::string CMTime::description() const {
    if (!isValid()) {
        return "invalid";
    }
    if (isPositiveInfinity()) {
        return "+infinity";
    }
    if (isNegativeInfinity()) {
        return "-infinity";
    }
    if (isIndefinite()) {
        return "indefinite";
    }
    std::string text = std::to_string(value) + "/" + std::to_string(timescale) + "s";
    if (epoch != 0) {
        text += " epoch " + std::to_string(epoch);
    }
    if (hasBeenRounded()) {
        text += " rounded";
    }
    return text;
}

std::size_t CMTime::hashValue() const noexcept {
    const int rank = orderRank();
    std::size_t seed = std::hash<int>{}(rank);
    if (rank != numericRank) {
        return seed;
    }
    // Equal times share their lowest-terms ratio, so that is what is hashed.
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const auto ticks = static_cast<std::uint64_t>(timescale);
    const std::uint64_t divisor = std::gcd(magnitude, ticks);
    detail::hashCombine(seed, epoch);
    detail::hashCombine(seed, value < 0);
    detail::hashCombine(seed, magnitude / divisor);
    detail::hashCombine(seed, ticks / divisor);
    return seed;
}

CMTime operator+(const CMTime& lhs, const CMTime& rhs) noexcept {
    return combine(lhs, rhs, false);
}

CMTime operator-(const CMTime& lhs, const CMTime& rhs) noexcept {
    return combine(lhs, rhs, true);
}

std::ostream& operator<<(std::ostream& stream, const CMTime& time) {
    return stream << time.description();
}

} // namespace timecode
