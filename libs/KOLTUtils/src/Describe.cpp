#include "koltutils/Describe.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace koltutils {
namespace {

// The shortest round-trip digits come from std::to_chars; the layout follows the usual
// description of floating-point numbers: decimal notation with at least one fractional digit,
// exponential notation for very small or very large magnitudes.
template <std::floating_point F> std::string describeFloatingPoint(F value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));

    const bool negative = scientific.front() == '-';
    const auto exponentMark = scientific.find('e');
    std::string digits;
    for (const char character : scientific.substr(0, exponentMark)) {
        if (character != '.' && character != '-') {
            digits += character;
        }
    }
    auto exponentText = scientific.substr(exponentMark + 1);
    if (exponentText.front() == '+') {
        exponentText.remove_prefix(1);
    }
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    constexpr F largestDecimal =
        static_cast<F>(std::uint64_t{1} << (std::numeric_limits<F>::digits + 1));
    if (value != 0 && (exponent < -4 || std::fabs(value) > largestDecimal)) {
        return std::string(scientific);
    }

    std::string text = negative ? "-" : "";
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
        return text;
    }
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        text += digits;
        text.append(integerDigits - digits.size(), '0');
        text += ".0";
    } else {
        text += digits.substr(0, integerDigits);
        text += '.';
        text += digits.substr(integerDigits);
    }
    return text;
}

} // namespace

std::string describe(double value) {
    return describeFloatingPoint(value);
}
std::string describe(float value) {
    return describeFloatingPoint(value);
}

std::string quotedText(std::string_view text) {
    std::string result = "\"";
    for (const char character : text) {
        switch (character) {
        case '"':
            result += "\\\"";
            break;
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        default:
            result += character;
        }
    }
    return result + "\"";
}

} // namespace koltutils
