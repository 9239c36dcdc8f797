#include "AttributeReading.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <timecode/CMTimeString.h>

namespace kvnfcpx::detail {

namespace {

bool isAllDigits(std::string_view text) noexcept {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename Real> std::optional<Real> readReal(std::string_view text) noexcept {
    // from_chars takes no leading "+"; after one, the number itself must follow.
    std::string_view body = text;
    if (!body.empty() && body.front() == '+') {
        body.remove_prefix(1);
        if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
            return std::nullopt;
        }
    }
    if (body.empty()) {
        return std::nullopt;
    }
    Real value{};
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc{} || end != body.data() + body.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<std::int64_t> readInteger(std::string_view text) noexcept {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits =
        (negative || (!text.empty() && text.front() == '+')) ? text.substr(1) : text;
    if (!isAllDigits(digits)) {
        return std::nullopt;
    }
    // Parsing with the minus sign keeps INT64_MIN readable.
    const std::string_view signedDigits = negative ? text : digits;
    std::int64_t value = 0;
    const auto [end, error] =
        std::from_chars(signedDigits.data(), signedDigits.data() + signedDigits.size(), value);
    if (error != std::errc{} || end != signedDigits.data() + signedDigits.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> readDouble(std::string_view text) noexcept {
    return readReal<double>(text);
}

std::optional<float> readFloat(std::string_view text) noexcept {
    return readReal<float>(text);
}

std::optional<timecode::CMTime> readTime(std::string_view text) {
    return timecode::CMTimeString::parse(text);
}

std::optional<std::string> textAttribute(const xmltree::XMLElement& element,
                                         std::string_view name) {
    const auto text = element.attribute(name);
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

std::optional<std::int64_t> integerAttribute(const xmltree::XMLElement& element,
                                             std::string_view name) {
    const auto text = element.attribute(name);
    return text ? readInteger(*text) : std::nullopt;
}

std::optional<double> doubleAttribute(const xmltree::XMLElement& element, std::string_view name) {
    const auto text = element.attribute(name);
    return text ? readDouble(*text) : std::nullopt;
}

std::optional<float> floatAttribute(const xmltree::XMLElement& element, std::string_view name) {
    const auto text = element.attribute(name);
    return text ? readFloat(*text) : std::nullopt;
}

std::optional<timecode::CMTime> timeAttribute(const xmltree::XMLElement& element,
                                              std::string_view name) {
    const auto text = element.attribute(name);
    return text ? readTime(*text) : std::nullopt;
}

bool flagAttribute(const xmltree::XMLElement& element, std::string_view name) {
    return element.attribute(name) == "1";
}

} // namespace kvnfcpx::detail
