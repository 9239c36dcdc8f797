#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvninterchange {

// Why a stored form could not be read back. what() is the description; the coding path names
// the keys (and "Index <n>" for list elements) from the top of the stored form down to the
// value that failed, empty when the top itself failed.
class DecodingError : public std::runtime_error {
public:
    enum class Kind : std::uint8_t {
        // A value of another type than expected.
        typeMismatch,
        // A required key is absent.
        keyNotFound,
        // The data is unreadable, or a value is outside what the type allows.
        dataCorrupted,
    };

    DecodingError(Kind kind, std::vector<std::string> codingPath, const std::string& description)
        : std::runtime_error(description), kind_(kind), codingPath_(std::move(codingPath)) {}

    Kind kind() const noexcept { return kind_; }
    const std::vector<std::string>& codingPath() const noexcept { return codingPath_; }

private:
    Kind kind_;
    std::vector<std::string> codingPath_;
};

} // namespace kvninterchange
