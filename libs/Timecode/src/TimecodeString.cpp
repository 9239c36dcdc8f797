#include "DecimalInteger.h"
#include "TimecodeCounting.h"
#include "timecode/Timecode.h"

#include <array>
#include <charconv>
#include <cstdlib>

namespace timecode {

namespace {

// Like printf's "%0*lld": zero-padded to `width` characters including a minus sign.
void appendPadded(std::string& text, std::int64_t value, int width) {
    std::array<char, 24> digits{};
    const auto magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const auto end = std::to_chars(digits.begin(), digits.end(), magnitude).ptr;
    const auto digitCount = static_cast<int>(end - digits.begin());
    if (value < 0) {
        text += '-';
        --width;
    }
    for (int padding = digitCount; padding < width; ++padding) {
        text += '0';
    }
    text.append(digits.begin(), end);
}

bool isDigit(char character) {
    return character >= '0' && character <= '9';
}
bool isFieldSeparator(char character) {
    return character == ':' || character == ';';
}
bool isDaysSeparator(char character) {
    switch (character) {
    case ':':
    case ';':
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool atEnd() const { return position_ == text_.size(); }
    bool skip(bool (*matches)(char)) {
        if (atEnd() || !matches(text_[position_])) {
            return false;
        }
        ++position_;
        return true;
    }
    std::string_view digits() {
        const std::size_t start = position_;
        while (!atEnd() && isDigit(text_[position_])) {
            ++position_;
        }
        return text_.substr(start, position_ - start);
    }
    std::string_view rest() const { return text_.substr(position_); }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

std::int64_t numberOrThrow(std::string_view digits) {
    const auto value = detail::parseDecimalInteger<std::int64_t>(digits, detail::LeadingSign::none);
    if (!value) {
        throw TimecodeStringParseError::malformed();
    }
    return *value;
}

// "H[:;]M[:;]S[:;]F", optionally ".", optionally sub-frame digits, then the end of the text.
std::optional<TimecodeComponents> parseClock(std::string_view text) {
    Reader reader(text);
    std::array<std::string_view, 4> fields;
    for (std::size_t index = 0; index < fields.size(); ++index) {
        fields[index] = reader.digits();
        if (fields[index].empty()) {
            return std::nullopt;
        }
        if (index + 1 < fields.size() && !reader.skip(isFieldSeparator)) {
            return std::nullopt;
        }
    }
    reader.skip([](char character) { return character == '.'; });
    const std::string_view subFrames = reader.digits();
    if (!reader.atEnd()) {
        return std::nullopt;
    }
    return TimecodeComponents{
        .hours = numberOrThrow(fields[0]),
        .minutes = numberOrThrow(fields[1]),
        .seconds = numberOrThrow(fields[2]),
        .frames = numberOrThrow(fields[3]),
        .subFrames = subFrames.empty() ? 0 : numberOrThrow(subFrames),
    };
}

// Reads what the pattern ^(\d+)??[\:;\s]??(\d+)[\:;](\d+)[\:;](\d+)[\:\;](\d+)[\.]??(\d+)??$
// matches, with the captures its lazy groups give: without days when the clock alone fits (also
// after a single leading separator), else the leading digits are days and one separator follows.
TimecodeComponents parseComponents(std::string_view text) {
    if (auto clock = parseClock(text)) {
        return *clock;
    }
    Reader reader(text);
    if (reader.skip(isDaysSeparator)) {
        if (auto clock = parseClock(reader.rest())) {
            return *clock;
        }
        throw TimecodeStringParseError::malformed();
    }
    const std::string_view days = reader.digits();
    if (days.empty() || !reader.skip(isDaysSeparator)) {
        throw TimecodeStringParseError::malformed();
    }
    auto clock = parseClock(reader.rest());
    if (!clock) {
        throw TimecodeStringParseError::malformed();
    }
    clock->days = numberOrThrow(days);
    return *clock;
}

} // namespace

std::string Timecode::stringValue(StringFormat format) const {
    const detail::RateCounting counting = detail::countingOf(frameRate());
    std::string text;
    text.reserve(24);
    if (format.contains(StringFormatOption::alwaysShowDays) || components.days != 0) {
        appendPadded(text, components.days, 1);
        text += ' ';
    }
    appendPadded(text, components.hours, 2);
    text += ':';
    appendPadded(text, components.minutes, 2);
    text += ':';
    appendPadded(text, components.seconds, 2);
    text += counting.isDrop ? ';' : ':';
    appendPadded(text, components.frames, counting.frameDigits);
    if (format.contains(StringFormatOption::showSubFrames)) {
        text += '.';
        appendPadded(text, components.subFrames, numberOfDigits(properties.subFramesBase));
    }
    if (format.contains(StringFormatOption::filenameCompatible)) {
        for (char& character : text) {
            if (character == ':' || character == ';' || character == ' ') {
                character = '-';
            }
        }
    }
    return text;
}

Timecode Timecode::fromString(std::string_view text, const Properties& properties,
                              std::optional<ValidationRule> rule) {
    return fromComponents(parseComponents(text), properties, rule);
}

} // namespace timecode
