#include "timecode/Fraction.h"

#include "DecimalInteger.h"
#include "HashCombine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace timecode {
namespace {

constexpr auto int64Max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

constexpr std::uint64_t magnitude(std::int64_t value) noexcept {
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

// A fraction in lowest terms as sign and unsigned magnitudes: the form in which equality and
// hashing work, because it exists for every stored pair (−2^63 has no positive 64-bit twin).
struct LowestTerms {
    bool negative = false;
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 0;
    friend bool operator==(const LowestTerms&, const LowestTerms&) = default;
};

LowestTerms lowestTerms(const Fraction& fraction) noexcept {
    const std::uint64_t numerator = magnitude(fraction.numerator());
    const std::uint64_t denominator = magnitude(fraction.denominator());
    if (fraction.isReducedCache() == true) {
        return {fraction.numerator() < 0, numerator, denominator};
    }
    const std::uint64_t divisor = std::gcd(numerator, denominator);
    if (divisor == 0) {
        return {};
    }
    return {fraction.isNegative() && numerator != 0, numerator / divisor, denominator / divisor};
}

// Signed 64-bit arithmetic that records an overflow instead of wrapping, so that a whole
// computation can run and be rejected once at the end.
class CheckedArithmetic {
public:
    std::int64_t add(std::int64_t lhs, std::int64_t rhs) noexcept {
        return record(__builtin_add_overflow(lhs, rhs, &result_));
    }
    std::int64_t subtract(std::int64_t lhs, std::int64_t rhs) noexcept {
        return record(__builtin_sub_overflow(lhs, rhs, &result_));
    }
    std::int64_t multiply(std::int64_t lhs, std::int64_t rhs) noexcept {
        return record(__builtin_mul_overflow(lhs, rhs, &result_));
    }
    std::int64_t divideExactly(std::int64_t lhs, std::int64_t rhs) noexcept {
        if (rhs == 0 || (rhs == -1 && lhs == std::numeric_limits<std::int64_t>::min())) {
            return record(true);
        }
        result_ = lhs / rhs;
        return record(false);
    }
    bool overflowed() const noexcept { return overflowed_; }

private:
    std::int64_t record(bool overflow) noexcept {
        overflowed_ = overflowed_ || overflow;
        return overflow ? 0 : result_;
    }
    std::int64_t result_ = 0;
    bool overflowed_ = false;
};

void requireDenominators(const Fraction& lhs, const Fraction& rhs) {
    if (lhs.denominator() == 0 || rhs.denominator() == 0) {
        throw std::domain_error("Zero denominator.");
    }
}

Fraction reducedResult(const CheckedArithmetic& checked, std::int64_t numerator,
                       std::int64_t denominator, const Fraction& lhs, char operation,
                       const Fraction& rhs) {
    if (checked.overflowed()) {
        throw std::overflow_error(lhs.description() + " " + operation + " " + rhs.description() +
                                  " overflows 64-bit integers.");
    }
    return Fraction::reducing(numerator, denominator);
}

Fraction sumOrDifference(const Fraction& lhs, const Fraction& rhs, bool subtracting) {
    requireDenominators(lhs, rhs);
    CheckedArithmetic checked;
    const auto combine = [&](std::int64_t left, std::int64_t right) {
        return subtracting ? checked.subtract(left, right) : checked.add(left, right);
    };
    const char operation = subtracting ? '-' : '+';
    if (lhs.denominator() == rhs.denominator()) {
        return reducedResult(checked, combine(lhs.numerator(), rhs.numerator()), lhs.denominator(),
                             lhs, operation, rhs);
    }
    // Both magnitudes below 2^63 here (equal denominators were handled above), so the divisor
    // fits.
    const auto divisor = static_cast<std::int64_t>(
        std::gcd(magnitude(lhs.denominator()), magnitude(rhs.denominator())));
    const std::int64_t multiple =
        checked.multiply(checked.divideExactly(lhs.denominator(), divisor), rhs.denominator());
    const std::int64_t lhsScaled =
        checked.multiply(lhs.numerator(), checked.divideExactly(multiple, lhs.denominator()));
    const std::int64_t rhsScaled =
        checked.multiply(rhs.numerator(), checked.divideExactly(multiple, rhs.denominator()));
    return reducedResult(checked, combine(lhsScaled, rhsScaled), multiple, lhs, operation, rhs);
}

constexpr std::array<std::uint64_t, 20> powersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (auto& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

// A finite, non-negative double as decimal digits times a power of ten (its shortest exact
// round-trip form).
struct DecimalForm {
    std::uint64_t significand = 0;
    int digitCount = 1;
    int exponent = 0;
};

DecimalForm decimalForm(double nonNegative) {
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                            nonNegative, std::chars_format::scientific);
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t exponentStart = text.find('e');
    DecimalForm form;
    form.digitCount = 0;
    for (const char character : text.substr(0, exponentStart)) {
        if (character != '.') {
            form.significand = form.significand * 10 + static_cast<std::uint64_t>(character - '0');
            ++form.digitCount;
        }
    }
    const auto exponent = detail::parseDecimalInteger<int>(text.substr(exponentStart + 1),
                                                           detail::LeadingSign::plusOrMinus);
    form.exponent = exponent.value_or(0) - (form.digitCount - 1);
    return form;
}

} // namespace

Fraction Fraction::reducing(std::int64_t numerator, std::int64_t denominator) {
    const Fraction source(numerator, denominator);
    const LowestTerms terms = lowestTerms(source);
    const std::uint64_t numeratorLimit = terms.negative ? int64Max + 1 : int64Max;
    if (terms.numerator > numeratorLimit || terms.denominator > int64Max) {
        throw std::overflow_error("Reducing " + source.description() +
                                  " overflows 64-bit integers.");
    }
    const std::uint64_t signedNumerator = terms.negative ? 0 - terms.numerator : terms.numerator;
    return Fraction(static_cast<std::int64_t>(signedNumerator),
                    static_cast<std::int64_t>(terms.denominator), true);
}

std::optional<Fraction> Fraction::fromFcpxmlString(std::string_view text) noexcept {
    if (!text.ends_with('s')) {
        return std::nullopt;
    }
    text.remove_suffix(1);
    const std::size_t slash = text.find('/');
    const auto numerator = detail::parseDecimalInteger<std::int64_t>(
        text.substr(0, slash), detail::LeadingSign::minusOnly);
    if (!numerator) {
        return std::nullopt;
    }
    if (slash == std::string_view::npos) {
        return Fraction(*numerator, 1, true);
    }
    const auto denominator = detail::parseDecimalInteger<std::int64_t>(text.substr(slash + 1),
                                                                       detail::LeadingSign::none);
    if (!denominator) {
        return std::nullopt;
    }
    return Fraction(*numerator, *denominator);
}

Fraction Fraction::fromDouble(double value, int decimalPrecision) {
    if (!std::isfinite(value)) {
        throw std::domain_error("Not a finite number: " + std::to_string(value) + ".");
    }
    constexpr int significantDigits = 19;
    // The denominator is 10^places and must fit 64 bits.
    constexpr int maximumPlaces = 18;
    const DecimalForm form = decimalForm(std::fabs(value));
    const int decimalPlaces = std::max(0, -form.exponent);
    const int integerDigits = std::max(0, form.digitCount + form.exponent);
    const int places =
        std::clamp(std::min({decimalPlaces, decimalPrecision, significantDigits - integerDigits}),
                   0, maximumPlaces);

    const int shift = form.exponent + places;
    std::uint64_t numerator = 0;
    if (shift >= 0) {
        if (shift >= static_cast<int>(powersOfTen.size()) ||
            __builtin_mul_overflow(form.significand, powersOfTen[static_cast<std::size_t>(shift)],
                                   &numerator) ||
            numerator > int64Max) {
            throw std::overflow_error(std::to_string(value) + " does not fit a 64-bit fraction.");
        }
    } else if (-shift < static_cast<int>(powersOfTen.size())) {
        numerator = form.significand / powersOfTen[static_cast<std::size_t>(-shift)];
    }
    const auto signedNumerator = static_cast<std::int64_t>(numerator);
    return reducing(value < 0 ? -signedNumerator : signedNumerator,
                    static_cast<std::int64_t>(powersOfTen[static_cast<std::size_t>(places)]));
}

std::string Fraction::fcpxmlStringValue() const {
    // A whole quotient is printed only when the division is exact, so printing never loses
    // value (beyond 2^53 a double quotient can look whole when it is not).
    if (denominator_ == -1 && numerator_ != std::numeric_limits<std::int64_t>::min()) {
        return std::to_string(-numerator_) + "s";
    }
    if (denominator_ != 0 && denominator_ != -1 && numerator_ % denominator_ == 0) {
        return std::to_string(numerator_ / denominator_) + "s";
    }
    // The sign goes on the numerator (1/−2 prints as -1/2s); built from magnitudes so that
    // −2^63 never has to be negated.
    const bool minus = denominator_ < 0 ? numerator_ > 0 : numerator_ < 0;
    std::string text = minus ? "-" : "";
    text += std::to_string(magnitude(numerator_));
    text += '/';
    text += std::to_string(magnitude(denominator_));
    text += 's';
    return text;
}

std::string Fraction::description() const {
    return std::to_string(numerator_) + "/" + std::to_string(denominator_);
}

CMTime Fraction::cmTimeValue() const {
    if (denominator_ < std::numeric_limits<std::int32_t>::min() ||
        denominator_ > std::numeric_limits<std::int32_t>::max()) {
        throw std::out_of_range("The denominator of " + description() +
                                " does not fit a 32-bit timescale.");
    }
    return CMTime::make(numerator_, static_cast<std::int32_t>(denominator_));
}

Fraction Fraction::reduced() const {
    return reducing(numerator_, denominator_);
}

bool Fraction::isReduced() const noexcept {
    if (isReducedCache_ == true) {
        return true;
    }
    return denominator_ >= 0 &&
           lowestTerms(*this) ==
               LowestTerms{numerator_ < 0, magnitude(numerator_), magnitude(denominator_)};
}

bool Fraction::isWholeInteger() const noexcept {
    const double quotient = doubleValue();
    return std::isfinite(quotient) && std::trunc(quotient) == quotient;
}

Fraction Fraction::abs() const {
    CheckedArithmetic checked;
    const std::int64_t numerator = numerator_ < 0 ? checked.subtract(0, numerator_) : numerator_;
    const std::int64_t denominator =
        denominator_ < 0 ? checked.subtract(0, denominator_) : denominator_;
    if (checked.overflowed()) {
        throw std::overflow_error("The absolute value of " + description() +
                                  " overflows 64-bit integers.");
    }
    return Fraction(numerator, denominator);
}

Fraction Fraction::negated() const {
    if (numerator_ == std::numeric_limits<std::int64_t>::min()) {
        throw std::overflow_error("Negating " + description() + " overflows 64-bit integers.");
    }
    return Fraction(-numerator_, denominator_);
}

Fraction operator+(const Fraction& lhs, const Fraction& rhs) {
    return sumOrDifference(lhs, rhs, false);
}

Fraction operator-(const Fraction& lhs, const Fraction& rhs) {
    return sumOrDifference(lhs, rhs, true);
}

Fraction operator*(const Fraction& lhs, const Fraction& rhs) {
    requireDenominators(lhs, rhs);
    CheckedArithmetic checked;
    const std::int64_t numerator = checked.multiply(lhs.numerator(), rhs.numerator());
    const std::int64_t denominator = checked.multiply(lhs.denominator(), rhs.denominator());
    return reducedResult(checked, numerator, denominator, lhs, '*', rhs);
}

Fraction operator/(const Fraction& lhs, const Fraction& rhs) {
    if (rhs.numerator() == 0) {
        throw std::domain_error("Division by zero.");
    }
    requireDenominators(lhs, rhs);
    CheckedArithmetic checked;
    const std::int64_t numerator = checked.multiply(lhs.numerator(), rhs.denominator());
    const std::int64_t denominator = checked.multiply(lhs.denominator(), rhs.numerator());
    return reducedResult(checked, numerator, denominator, lhs, '/', rhs);
}

bool operator==(const Fraction& lhs, const Fraction& rhs) noexcept {
    return lowestTerms(lhs) == lowestTerms(rhs);
}

std::strong_ordering Fraction::compareExactly(const Fraction& lhs, const Fraction& rhs) noexcept {
    using Wide = detail::CMTimeWideInt;
    // -1 for -n/0, 0 for a finite value, 1 for +n/0, 2 for 0/0.
    const auto rank = [](const Fraction& f) {
        if (f.denominator() != 0) {
            return 0;
        }
        return f.numerator() == 0 ? 2 : (f.numerator() < 0 ? -1 : 1);
    };
    const int lhsRank = rank(lhs);
    const int rhsRank = rank(rhs);
    if (lhsRank != 0 || rhsRank != 0) {
        return lhsRank <=> rhsRank;
    }
    // With positive denominators the order of a/b and c/d is the order of a*d and c*b; each
    // factor stays within 2^63 in magnitude, so the products fit in 128 bits.
    const auto positive = [](const Fraction& f) {
        const Wide numerator = f.numerator();
        const Wide denominator = f.denominator();
        return denominator < 0 ? std::pair{-numerator, -denominator}
                               : std::pair{numerator, denominator};
    };
    const auto [a, b] = positive(lhs);
    const auto [c, d] = positive(rhs);
    const Wide left = a * d;
    const Wide right = c * b;
    return left < right
               ? std::strong_ordering::less
               : (left > right ? std::strong_ordering::greater : std::strong_ordering::equal);
}

std::size_t Fraction::hashValue() const noexcept {
    const LowestTerms terms = lowestTerms(*this);
    std::size_t seed = std::hash<bool>{}(terms.negative);
    detail::hashCombine(seed, terms.numerator);
    detail::hashCombine(seed, terms.denominator);
    return seed;
}

std::ostream& operator<<(std::ostream& stream, const Fraction& fraction) {
    return stream << fraction.description();
}

} // namespace timecode
