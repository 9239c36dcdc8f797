#pragma once

#include "timecode/CMTime.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace timecode {

/// An exact rational number of seconds, kept exactly as it was given (2002/48000 stays
/// 2002/48000) until an operation reduces it.
///
/// Error policy: the operations whose result cannot be represented throw instead of wrapping
/// around or dividing by zero, so a caller fed a hostile document gets an exception, never
/// undefined behaviour:
/// - std::overflow_error when an intermediate or a result leaves the signed 64-bit range;
/// - std::domain_error("Division by zero.") when dividing by a zero fraction, and
///   std::domain_error("Zero denominator.") for arithmetic on a fraction whose denominator is 0;
/// - std::out_of_range from `cmTimeValue()` when the denominator does not fit a 32-bit timescale.
/// Parsing never throws: it returns an absent value.
///
/// A zero denominator can be stored (the strict parser reads "1/0s"). Such a fraction prints and
/// compares, reduces to ±1/0 (0/0 stays 0/0), and is refused by arithmetic.
class Fraction {
public:
    static const Fraction zero;

    /// 0/1, the same as `zero`.
    constexpr Fraction() noexcept = default;
    /// The pair as given; not known to be reduced.
    constexpr Fraction(std::int64_t numerator, std::int64_t denominator) noexcept
        : numerator_(numerator), denominator_(denominator) {}
    /// The time's value over its timescale. Infinite and indefinite times give 0/1; an invalid
    /// time is taken as it is stored.
    constexpr explicit Fraction(const CMTime& time) noexcept
        : Fraction(hasNoValue(time) ? 0 : time.value, hasNoValue(time) ? 1 : time.timescale) {}

    /// The pair in lowest terms (see `reduced()`).
    static Fraction reducing(std::int64_t numerator, std::int64_t denominator);

    /// The strict FCPXML time reader: "[-]digits s" gives digits/1 (known reduced) and
    /// "[-]digits/digits s" gives the pair as written. Anything else (whitespace, "+", a decimal
    /// point, a sign on the denominator, a value beyond 64 bits, a missing "s") is absent.
    static std::optional<Fraction> fromFcpxmlString(std::string_view text) noexcept;

    /// The double read as a decimal and cut to at most `decimalPrecision` places (and to what 19
    /// significant digits leave), truncated, reduced. Throws std::domain_error for NaN and the
    /// infinities, std::overflow_error when the whole part does not fit 64 bits.
    static Fraction fromDouble(double value, int decimalPrecision);

    constexpr std::int64_t numerator() const noexcept { return numerator_; }
    constexpr std::int64_t denominator() const noexcept { return denominator_; }
    /// Cached knowledge that the pair is in lowest terms: absent when not known.
    constexpr std::optional<bool> isReducedCache() const noexcept { return isReducedCache_; }

    /// The FCPXML time string: "3600s" when the quotient is whole, else "1001/24000s" with the
    /// pair as stored (a negative denominator moves its sign to the numerator).
    std::string fcpxmlStringValue() const;
    /// Numerator "/" denominator as stored: "2002/48000".
    std::string description() const;
    std::string stringValue() const { return description(); }

    /// value = numerator, timescale = denominator; throws std::out_of_range when the denominator
    /// is outside the 32-bit range.
    CMTime cmTimeValue() const;

    constexpr double doubleValue() const noexcept {
        return static_cast<double>(numerator_) / static_cast<double>(denominator_);
    }
    constexpr float floatValue() const noexcept { return static_cast<float>(doubleValue()); }

    /// Lowest terms with a positive denominator: 2/4 → 1/2, 4/−6 → −2/3, 0/−7 → 0/1. Throws
    /// std::overflow_error when the result leaves the 64-bit range (1/INT64_MIN).
    Fraction reduced() const;
    bool isReduced() const noexcept;
    /// The signs of numerator and denominator differ (so 0/−5 counts as negative).
    constexpr bool isNegative() const noexcept { return (numerator_ < 0) != (denominator_ < 0); }
    /// The double quotient is finite and has no fractional part.
    bool isWholeInteger() const noexcept;

    Fraction abs() const;
    /// Numerator negated, denominator kept.
    Fraction negated() const;
    void negate() { *this = negated(); }

    friend Fraction operator+(const Fraction& lhs, const Fraction& rhs);
    friend Fraction operator-(const Fraction& lhs, const Fraction& rhs);
    friend Fraction operator*(const Fraction& lhs, const Fraction& rhs);
    friend Fraction operator/(const Fraction& lhs, const Fraction& rhs);

    /// Equal when the reduced forms are equal: 1/2 == 2/4. Never throws, also at the edges of
    /// the 64-bit range.
    friend bool operator==(const Fraction& lhs, const Fraction& rhs) noexcept;
    bool isEqual(const Fraction& other) const noexcept { return *this == other; }
    /// Same numerator and same denominator as stored: 2/4 is not identical to 1/2.
    constexpr bool isIdentical(const Fraction& other) const noexcept {
        return numerator_ == other.numerator_ && denominator_ == other.denominator_;
    }

    // Ordering compares the double quotients, so two fractions too close for a double order as
    // neither less nor greater even when they are not ==.
    friend bool operator<(const Fraction& lhs, const Fraction& rhs) noexcept {
        return lhs.doubleValue() < rhs.doubleValue();
    }
    friend bool operator<=(const Fraction& lhs, const Fraction& rhs) noexcept {
        return lhs.doubleValue() <= rhs.doubleValue();
    }
    friend bool operator>(const Fraction& lhs, const Fraction& rhs) noexcept {
        return lhs.doubleValue() > rhs.doubleValue();
    }
    friend bool operator>=(const Fraction& lhs, const Fraction& rhs) noexcept {
        return lhs.doubleValue() >= rhs.doubleValue();
    }

    /// The exact order of the two values, consistent with ==: the products are formed in 128
    /// bits, as CMTime compares, so 2^53+1 orders after 2^53. A zero denominator orders as an
    /// infinity of the numerator's sign, and 0/0 after everything else. Use it (or ExactLess)
    /// wherever fractions are sorted, de-duplicated or used as keys.
    static std::strong_ordering compareExactly(const Fraction& lhs, const Fraction& rhs) noexcept;

    /// A strict weak order for ordered containers and sorting, by compareExactly.
    struct ExactLess {
        bool operator()(const Fraction& lhs, const Fraction& rhs) const noexcept {
            return compareExactly(lhs, rhs) < 0;
        }
    };

    /// Hash of the reduced pair, consistent with ==.
    std::size_t hashValue() const noexcept;

private:
    static constexpr bool hasNoValue(const CMTime& time) noexcept {
        return time.isPositiveInfinity() || time.isNegativeInfinity() || time.isIndefinite();
    }

    constexpr Fraction(std::int64_t numerator, std::int64_t denominator,
                       std::optional<bool> isReducedCache) noexcept
        : numerator_(numerator), denominator_(denominator), isReducedCache_(isReducedCache) {}

    std::int64_t numerator_ = 0;
    std::int64_t denominator_ = 1;
    std::optional<bool> isReducedCache_;
};

inline constexpr Fraction Fraction::zero{0, 1};

std::ostream& operator<<(std::ostream& stream, const Fraction& fraction);

} // namespace timecode

template <> struct std::hash<timecode::Fraction> {
    std::size_t operator()(const timecode::Fraction& fraction) const noexcept {
        return fraction.hashValue();
    }
};
