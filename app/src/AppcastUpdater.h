#pragma once

#include "UpdateUserDriver.h"
#include "Updater.h"

#include <QNetworkAccessManager>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QNetworkReply;

namespace velotrack {

// The application as the update feed is compared with it.
struct InstalledVersion {
    std::string appName;
    // "CFBundleVersion": what feed versions are compared with.
    std::string bundleVersion;
    // What the person reads.
    std::string displayVersion;

    bool operator==(const InstalledVersion&) const = default;
};

// What a feed's text means for the installed version: a newer version, up to date, or a failure
// when the feed cannot be read.
UpdateCheckOutcome evaluateAppcast(const InstalledVersion& installed, std::string_view feed);
// The outcome of a check that could not get the feed at all.
UpdateCheckOutcome failedCheck(const InstalledVersion& installed, std::string_view reason);

// An updater that reads an appcast feed (https, or a file for tests and offline use) and tells
// the person through a user driver. Scheduled checks speak up only when a newer version exists.
// Downloads are limited in time and size, so a dead or hostile server never hangs or floods the
// application. Lives on the application's event-loop thread.
class AppcastUpdater final : public Updater {
public:
    static constexpr std::int64_t maximumFeedSize = 4 * 1024 * 1024;

    AppcastUpdater(UpdaterDelegate& delegate, InstalledVersion installed,
                   std::unique_ptr<UpdateUserDriver> userDriver,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));
    ~AppcastUpdater() override;

    void setAutomaticallyChecksForUpdates(bool automaticallyChecks) override;
    // Zero means no repeating checks: the one at start is all.
    void setUpdateCheckInterval(std::chrono::seconds interval) override;
    std::optional<UpdaterError> startUpdater() override;
    void checkForUpdates() override;

    bool isChecking() const noexcept { return !reply_.isNull(); }

private:
    void check(UpdateCheck kind);
    void finish(UpdateCheck kind, QNetworkReply& reply);
    void report(UpdateCheck kind, const UpdateCheckOutcome& outcome);

    UpdaterDelegate& delegate_;
    InstalledVersion installed_;
    std::unique_ptr<UpdateUserDriver> userDriver_;
    std::chrono::milliseconds timeout_;
    bool automaticallyChecks_ = false;
    std::chrono::seconds interval_{0};
    bool started_ = false;
    QNetworkAccessManager network_;
    QTimer schedule_;
    QPointer<QNetworkReply> reply_;
};

} // namespace velotrack
