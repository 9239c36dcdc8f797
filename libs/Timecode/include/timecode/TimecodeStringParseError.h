#pragma once

#include <exception>

namespace timecode {

/// Thrown when text is not a timecode string. It has a single case, `malformed`.
class TimecodeStringParseError : public std::exception {
public:
    enum class Kind : unsigned char {
        malformed,
    };

    TimecodeStringParseError() noexcept = default;

    static TimecodeStringParseError malformed() noexcept { return {}; }

    Kind kind() const noexcept { return Kind::malformed; }

    const char* what() const noexcept override { return "Timecode string is malformed."; }
};

} // namespace timecode
