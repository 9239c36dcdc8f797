#include "kvntime/RealTimeDomain.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <vector>

namespace kvntime {
namespace {

// Past this the millisecond count would leave 64 bits; nothing shows such times anyway.
constexpr double largestShownSeconds = 1e15;

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view whitespace = " \t\n\r\f\v";
    const auto first = text.find_first_not_of(whitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(whitespace);
    return text.substr(first, last - first + 1);
}

double partValue(std::string_view part) {
    part = trimmed(part);
    double value = 0;
    const auto result =
        std::from_chars(part.data(), part.data() + part.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != part.data() + part.size()) {
        return 0;
    }
    return value;
}

} // namespace

std::string RealTimeDomain::string(double seconds, HoursFormat showHours, bool showMilliseconds) {
    if (!std::isfinite(seconds)) {
        seconds = 0;
    }
    const double magnitude = std::min(std::fabs(seconds), largestShownSeconds);
    auto minutes = static_cast<std::int64_t>(magnitude / 60);
    const auto wholeSeconds = static_cast<std::int64_t>(std::fmod(magnitude, 60));
    const bool hours =
        showHours == HoursFormat::enable || (showHours == HoursFormat::automatic && minutes >= 60);
    // One buffer written left to right: GCC 12 reports false overlaps for appended std::strings.
    std::array<char, 96> buffer{};
    std::size_t length = 0;
    const auto append = [&](const char* format, auto... values) {
        const int written =
            std::snprintf(buffer.data() + length, buffer.size() - length, format, values...);
        length += written > 0 ? static_cast<std::size_t>(written) : 0;
    };
    if (seconds < 0) {
        append("%c", '-');
    }
    if (hours) {
        append("%" PRId64 ":", minutes / 60);
        minutes %= 60;
    }
    append("%02" PRId64 ":%02" PRId64, minutes, wholeSeconds);
    if (showMilliseconds) {
        append(".%03" PRId64, static_cast<std::int64_t>(magnitude * 1000) % 1000);
    }
    return std::string(buffer.data(), length);
}

std::string RealTimeDomain::string(HoursFormat showHours, bool showMilliseconds,
                                   double offset) const {
    return string(masterSeconds + offset, showHours, showMilliseconds);
}

double RealTimeDomain::parse(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    std::vector<double> parts;
    while (true) {
        const auto colon = text.find(':');
        parts.push_back(partValue(text.substr(0, colon)));
        if (colon == std::string_view::npos) {
            break;
        }
        text.remove_prefix(colon + 1);
    }
    double seconds = 0;
    switch (parts.size()) {
    case 1:
        seconds = parts[0];
        break;
    case 2:
        seconds = parts[0] * 60 + parts[1];
        break;
    case 3:
        seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
        break;
    default:
        break;
    }
    return negative ? -seconds : seconds;
}

RealTimeDomain::DisplayString::DisplayString(double seconds)
    : seconds_(seconds),
      withMilliseconds_(RealTimeDomain::string(seconds, HoursFormat::automatic, true)),
      withoutMilliseconds_(RealTimeDomain::string(seconds, HoursFormat::automatic, false)) {}

const std::string& RealTimeDomain::DisplayString::string(double width,
                                                         double widthThreshold) const noexcept {
    return width >= widthThreshold ? withMilliseconds_ : withoutMilliseconds_;
}

} // namespace kvntime
