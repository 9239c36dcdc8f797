#pragma once

#include <optional>
#include <string>

namespace velotrack {

// What a person is told when an update check ends.
struct UpdateCheckOutcome {
    enum class Kind { newerVersion, upToDate, failed };

    Kind kind = Kind::failed;
    std::string title;
    std::string message;
    // Where to get the newer version, when there is one.
    std::optional<std::string> downloadPage;

    bool operator==(const UpdateCheckOutcome&) const = default;
};

// Shows the outcome of update checks to the person.
class UpdateUserDriver {
public:
    UpdateUserDriver() = default;
    UpdateUserDriver(const UpdateUserDriver&) = delete;
    UpdateUserDriver& operator=(const UpdateUserDriver&) = delete;
    virtual ~UpdateUserDriver() = default;

    virtual void show(const UpdateCheckOutcome& outcome) = 0;
};

} // namespace velotrack
