#include "kvntime/UnformattedTimecode.h"

#include <string>

namespace kvntime {

namespace {

constexpr std::size_t maximumDayDigits = 9;

std::size_t frameDigits(timecode::TimecodeFrameRate frameRate) {
    std::size_t digits = 0;
    for (auto highest = timecode::maxFrames(frameRate) - 1; highest > 0; highest /= 10) {
        ++digits;
    }
    return digits < 2 ? 2 : digits;
}

// Takes up to `count` digits off the end of `digits` and returns their value (0 for none).
std::int64_t takeFromRight(std::string& digits, std::size_t count) {
    const auto taken = digits.size() < count ? digits.size() : count;
    std::int64_t value = 0;
    for (auto index = digits.size() - taken; index < digits.size(); ++index) {
        value = value * 10 + (digits[index] - '0');
    }
    digits.resize(digits.size() - taken);
    return value;
}

} // namespace

std::optional<timecode::TimecodeComponents>
parseUnformattedTimecode(std::string_view string, timecode::TimecodeFrameRate frameRate) {
    std::string digits;
    for (const char character : string) {
        if (character >= '0' && character <= '9') {
            digits += character;
        }
    }
    const auto framesWidth = frameDigits(frameRate);
    if (digits.empty() || digits.size() > framesWidth + 6 + maximumDayDigits) {
        return std::nullopt;
    }
    timecode::TimecodeComponents components;
    components.frames = takeFromRight(digits, framesWidth);
    components.seconds = takeFromRight(digits, 2);
    components.minutes = takeFromRight(digits, 2);
    components.hours = takeFromRight(digits, 2);
    components.days = takeFromRight(digits, maximumDayDigits);
    return components;
}

} // namespace kvntime
