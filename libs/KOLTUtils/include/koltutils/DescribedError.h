#pragma once

#include <stdexcept>
#include <string>

namespace koltutils {

// The error the utilities throw when an operation fails with a one-line message: code 1, the
// message as what() and localizedDescription(), and the main bundle's identifier as the domain
// ("KOLTUtils" when there is no bundle identifier).
class DescribedError : public std::runtime_error {
public:
    explicit DescribedError(const std::string& message) : std::runtime_error(message) {}

    static constexpr int code() noexcept { return 1; }
    static const std::string& domain();
    std::string localizedDescription() const { return what(); }
};

} // namespace koltutils
