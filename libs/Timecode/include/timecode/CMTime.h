#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace timecode {

/// The flag bits of a `CMTime`, with CoreMedia's values.
enum class CMTimeFlags : std::uint32_t {
    none = 0,
    valid = 1u << 0,
    hasBeenRounded = 1u << 1,
    positiveInfinity = 1u << 2,
    negativeInfinity = 1u << 3,
    indefinite = 1u << 4,
};

constexpr CMTimeFlags operator|(CMTimeFlags lhs, CMTimeFlags rhs) noexcept {
    return static_cast<CMTimeFlags>(static_cast<std::uint32_t>(lhs) |
                                    static_cast<std::uint32_t>(rhs));
}

constexpr CMTimeFlags operator&(CMTimeFlags lhs, CMTimeFlags rhs) noexcept {
    return static_cast<CMTimeFlags>(static_cast<std::uint32_t>(lhs) &
                                    static_cast<std::uint32_t>(rhs));
}

namespace detail {
__extension__ using CMTimeWideInt = __int128;
} // namespace detail

/// Media time: a 64-bit count of ticks over a 32-bit timescale (ticks per second), with flags
/// and an epoch. It behaves like CoreMedia's CMTime:
///
/// - A time is usable ("valid") when it carries the valid flag and is either numeric with a
///   positive timescale, or one of the three non-numeric times (positive infinity, negative
///   infinity, indefinite). A valid flag over a zero or negative timescale is treated as invalid
///   everywhere, so an unusable time read from a document can never be divided by.
/// - Ordering: negative infinity < every numeric time < indefinite < positive infinity < invalid.
///   Numeric times order by epoch first, then exactly by value/timescale (cross-multiplied in 128
///   bits), so 1/2 == 2/4. All invalid times are equal to each other; the hash agrees with ==.
/// - Addition and subtraction: see operator+ below.
struct CMTime {
    std::int64_t value = 0;
    std::int32_t timescale = 0;
    CMTimeFlags flags = CMTimeFlags::none;
    std::int64_t epoch = 0;

    /// The largest timescale that arithmetic chooses by itself (CoreMedia's kCMTimeMaxTimescale).
    static constexpr std::int32_t maxTimescale = 1'000'000'000;

    static const CMTime zero;
    static const CMTime invalid;
    static const CMTime positiveInfinity;
    static const CMTime negativeInfinity;
    static const CMTime indefinite;

    /// value over timescale, valid flag, epoch 0. A timescale of 0 or below gives a time that is
    /// not valid (the fields are kept as given).
    static constexpr CMTime make(std::int64_t value, std::int32_t timescale) noexcept {
        return CMTime{value, timescale, CMTimeFlags::valid, 0};
    }

    /// seconds × preferredTimescale rounded half away from zero. When the value does not fit 64
    /// bits the timescale is halved until it does; if it still does not fit at timescale 1 the
    /// result is an infinity. NaN or a timescale of 0 or below gives `invalid`. The result is
    /// marked hasBeenRounded when its seconds differ from the given ones.
    static CMTime fromSeconds(double seconds, std::int32_t preferredTimescale) noexcept;

    constexpr bool hasFlags(CMTimeFlags wanted) const noexcept {
        return (flags & wanted) == wanted;
    }
    constexpr bool isPositiveInfinity() const noexcept {
        return isValid() && hasFlags(CMTimeFlags::positiveInfinity);
    }
    constexpr bool isNegativeInfinity() const noexcept {
        return isValid() && hasFlags(CMTimeFlags::negativeInfinity);
    }
    constexpr bool isIndefinite() const noexcept {
        return isValid() && hasFlags(CMTimeFlags::indefinite);
    }
    constexpr bool hasBeenRounded() const noexcept { return hasFlags(CMTimeFlags::hasBeenRounded); }
    constexpr bool isValid() const noexcept {
        if (!hasFlags(CMTimeFlags::valid)) {
            return false;
        }
        return timescale > 0 || !isFiniteKind();
    }
    /// Valid and neither infinite nor indefinite: a time that has a value in seconds.
    constexpr bool isNumeric() const noexcept { return isValid() && isFiniteKind(); }

    /// value ÷ timescale as a double; NaN for invalid and indefinite times, ±infinity for the
    /// infinities.
    double seconds() const noexcept;

    /// "1001/24000s" for numeric times (with " epoch N" and " rounded" appended when they
    /// apply); "invalid", "indefinite", "+infinity" or "-infinity" otherwise.
    std::string description() const;

    friend constexpr std::weak_ordering operator<=>(const CMTime& lhs, const CMTime& rhs) noexcept {
        const int lhsRank = lhs.orderRank();
        const int rhsRank = rhs.orderRank();
        if (lhsRank != rhsRank || lhsRank != numericRank) {
            return lhsRank <=> rhsRank;
        }
        if (lhs.epoch != rhs.epoch) {
            return lhs.epoch <=> rhs.epoch;
        }
        using Wide = detail::CMTimeWideInt;
        const Wide left = static_cast<Wide>(lhs.value) * rhs.timescale;
        const Wide right = static_cast<Wide>(rhs.value) * lhs.timescale;
        return left < right
                   ? std::weak_ordering::less
                   : (left > right ? std::weak_ordering::greater : std::weak_ordering::equivalent);
    }
    friend constexpr bool operator==(const CMTime& lhs, const CMTime& rhs) noexcept {
        return (lhs <=> rhs) == 0;
    }

    /// Field-by-field equality (1/2 is not identical to 2/4).
    constexpr bool isIdentical(const CMTime& other) const noexcept {
        return value == other.value && timescale == other.timescale && flags == other.flags &&
               epoch == other.epoch;
    }

    std::size_t hashValue() const noexcept;

private:
    static constexpr int numericRank = 1;

    constexpr bool isFiniteKind() const noexcept {
        return (flags & (CMTimeFlags::positiveInfinity | CMTimeFlags::negativeInfinity |
                         CMTimeFlags::indefinite)) == CMTimeFlags::none;
    }
    constexpr int orderRank() const noexcept {
        if (!isValid()) {
            return 4;
        }
        if (hasFlags(CMTimeFlags::positiveInfinity)) {
            return 3;
        }
        if (hasFlags(CMTimeFlags::negativeInfinity)) {
            return 0;
        }
        if (hasFlags(CMTimeFlags::indefinite)) {
            return 2;
        }
        return numericRank;
    }
};

inline constexpr CMTime CMTime::zero{0, 1, CMTimeFlags::valid, 0};
inline constexpr CMTime CMTime::invalid{0, 0, CMTimeFlags::none, 0};
inline constexpr CMTime CMTime::positiveInfinity{
    0, 0, CMTimeFlags::valid | CMTimeFlags::positiveInfinity, 0};
inline constexpr CMTime CMTime::negativeInfinity{
    0, 0, CMTimeFlags::valid | CMTimeFlags::negativeInfinity, 0};
inline constexpr CMTime CMTime::indefinite{0, 0, CMTimeFlags::valid | CMTimeFlags::indefinite, 0};

/// Sum and difference with CoreMedia's rules:
/// - Equal timescales keep that timescale; otherwise the least common multiple of the two, or
///   `CMTime::maxTimescale` when the multiple is larger, rounding half away from zero.
/// - When the exact value does not fit 64 bits the timescale is halved (rounding again) until it
///   does; a value that overflows even at timescale 1 becomes positive or negative infinity.
/// - Any rounding, or a rounded operand, marks the result hasBeenRounded.
/// - An invalid operand gives invalid. One infinite operand gives that infinity (negated for a
///   subtrahend); +inf + -inf and +inf - +inf are invalid. Otherwise an indefinite operand gives
///   indefinite.
/// - Epochs: an epoch-0 operand is a duration and takes the other's epoch; equal epochs add to
///   that epoch and subtract to 0; other mixes of epochs are invalid.
CMTime operator+(const CMTime& lhs, const CMTime& rhs) noexcept;
CMTime operator-(const CMTime& lhs, const CMTime& rhs) noexcept;

inline CMTime& operator+=(CMTime& lhs, const CMTime& rhs) noexcept {
    return lhs = lhs + rhs;
}
inline CMTime& operator-=(CMTime& lhs, const CMTime& rhs) noexcept {
    return lhs = lhs - rhs;
}

std::ostream& operator<<(std::ostream& stream, const CMTime& time);

} // namespace timecode

template <> struct std::hash<timecode::CMTime> {
    std::size_t operator()(const timecode::CMTime& time) const noexcept { return time.hashValue(); }
};
