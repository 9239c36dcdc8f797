#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace velotrack {

// Why an update check runs.
enum class UpdateCheck {
    // The person chose "Check For Updates...".
    updates,
    // A scheduled check; it speaks up only when there is something new.
    updatesInBackground,
    // A check that only gathers information and never offers to update.
    updateInformation,
};

// Why the updater could not start.
struct UpdaterError {
    std::string message;

    std::string description() const { return message; }
    bool operator==(const UpdaterError&) const = default;
};

// What the updater asks the application.
class UpdaterDelegate {
public:
    UpdaterDelegate() = default;
    UpdaterDelegate(const UpdaterDelegate&) = delete;
    UpdaterDelegate& operator=(const UpdaterDelegate&) = delete;
    virtual ~UpdaterDelegate() = default;

    // The address of the update feed.
    virtual std::string feedURLString() const = 0;
    // Whether a check of this kind may run now.
    virtual bool mayPerformUpdateCheck(UpdateCheck check) const = 0;
};

// The application's update service: configured, started once, then asked for checks.
class Updater {
public:
    Updater() = default;
    Updater(const Updater&) = delete;
    Updater& operator=(const Updater&) = delete;
    virtual ~Updater() = default;

    virtual void setAutomaticallyChecksForUpdates(bool automaticallyChecks) = 0;
    virtual void setUpdateCheckInterval(std::chrono::seconds interval) = 0;
    // Starts the service; the error says why it could not.
    virtual std::optional<UpdaterError> startUpdater() = 0;
    // A check the person asked for; its outcome is shown to them whatever it is.
    virtual void checkForUpdates() = 0;
};

} // namespace velotrack
