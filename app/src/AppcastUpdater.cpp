#include "AppcastUpdater.h"

#include "Appcast.h"
#include "BundleVersion.h"
#include "koltutils/DescribedError.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace velotrack {
namespace {

// Marks a reply that was aborted because the feed grew past the size limit.
constexpr const char* tooLargeProperty = "velotrackFeedTooLarge";
// The kind of check whose outcome a reply answers.
constexpr const char* checkKindProperty = "velotrackCheckKind";

std::optional<QUrl> acceptedFeedURL(const std::string& text) {
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"https" && url.scheme() != u"file")) {
        return std::nullopt;
    }
    return url;
}

std::string reasonForFailedReply(const QNetworkReply& reply, std::chrono::milliseconds timeout) {
    if (reply.property(tooLargeProperty).toBool()) {
        return "the update feed is larger than " + std::to_string(AppcastUpdater::maximumFeedSize) +
               " bytes.";
    }
    if (reply.error() == QNetworkReply::OperationCanceledError) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout).count();
        return "the update server did not answer within " + std::to_string(seconds) + " seconds.";
    }
    return reply.errorString().toStdString() + ".";
}

} // namespace

UpdateCheckOutcome failedCheck(const InstalledVersion& installed, std::string_view reason) {
    return {UpdateCheckOutcome::Kind::failed, "Update Error!",
            installed.appName + " couldn't check for updates: " + std::string(reason),
            std::nullopt};
}

UpdateCheckOutcome evaluateAppcast(const InstalledVersion& installed, std::string_view feed) {
    std::optional<AppcastItem> newest;
    try {
        newest = Appcast::parse(feed).newestItem();
    } catch (const koltutils::DescribedError& error) {
        return failedCheck(installed, error.what());
    }
    if (!newest) {
        return failedCheck(installed, "the update feed lists no versions.");
    }
    if (compareBundleVersions(newest->version, installed.bundleVersion) > 0) {
        auto message = installed.appName + " " + newest->displayVersion() +
                       " is now available — you have " + installed.displayVersion + ".";
        if (newest->downloadPage) {
            message += "\nGet it at " + *newest->downloadPage;
        }
        return {UpdateCheckOutcome::Kind::newerVersion,
                "A new version of " + installed.appName + " is available!", std::move(message),
                newest->downloadPage};
    }
    return {UpdateCheckOutcome::Kind::upToDate, "You're up to date!",
            installed.appName + " " + installed.displayVersion +
                " is currently the newest version available.",
            std::nullopt};
}

AppcastUpdater::AppcastUpdater(UpdaterDelegate& delegate, InstalledVersion installed,
                               std::unique_ptr<UpdateUserDriver> userDriver,
                               std::chrono::milliseconds timeout)
    : delegate_(delegate), installed_(std::move(installed)), userDriver_(std::move(userDriver)),
      timeout_(timeout) {
    network_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    QObject::connect(&schedule_, &QTimer::timeout, &network_,
                     [this] { check(UpdateCheck::updatesInBackground); });
}

AppcastUpdater::~AppcastUpdater() {
    if (reply_) {
        // Its finished signal must not reach an updater that is gone.
        reply_->disconnect();
        reply_->abort();
    }
}

void AppcastUpdater::setAutomaticallyChecksForUpdates(bool automaticallyChecks) {
    automaticallyChecks_ = automaticallyChecks;
}

void AppcastUpdater::setUpdateCheckInterval(std::chrono::seconds interval) {
    interval_ = interval;
}

std::optional<UpdaterError> AppcastUpdater::startUpdater() {
    const auto feed = delegate_.feedURLString();
    if (!acceptedFeedURL(feed)) {
        return UpdaterError{"The update feed address \"" + feed +
                            "\" is not an https or file address."};
    }
    started_ = true;
    if (automaticallyChecks_) {
        // After the window is up, never inside the start-up call.
        QTimer::singleShot(0, &network_, [this] { check(UpdateCheck::updatesInBackground); });
        if (interval_.count() > 0) {
            schedule_.start(std::chrono::duration_cast<std::chrono::milliseconds>(interval_));
        }
    }
    return std::nullopt;
}

void AppcastUpdater::checkForUpdates() {
    check(UpdateCheck::updates);
}

void AppcastUpdater::check(UpdateCheck kind) {
    if (!started_) {
        report(kind, failedCheck(installed_, "the updater is not running."));
        return;
    }
    if (!delegate_.mayPerformUpdateCheck(kind)) {
        return;
    }
    if (reply_) {
        // One download at a time; a person asking during a scheduled check still hears back.
        if (kind == UpdateCheck::updates) {
            reply_->setProperty(checkKindProperty, static_cast<int>(kind));
        }
        return;
    }
    const auto url = acceptedFeedURL(delegate_.feedURLString());
    if (!url) {
        report(kind, failedCheck(installed_, "the update feed address is not usable."));
        return;
    }
    QNetworkRequest request(*url);
    request.setTransferTimeout(static_cast<int>(timeout_.count()));
    auto* reply = network_.get(request);
    reply->setProperty(checkKindProperty, static_cast<int>(kind));
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply](qint64 received, qint64 /*total*/) {
                         if (received > maximumFeedSize) {
                             reply->setProperty(tooLargeProperty, true);
                             reply->abort();
                         }
                     });
    QObject::connect(reply, &QNetworkReply::finished, &network_, [this, reply] {
        finish(static_cast<UpdateCheck>(reply->property(checkKindProperty).toInt()), *reply);
    });
    reply_ = reply;
}

void AppcastUpdater::finish(UpdateCheck kind, QNetworkReply& reply) {
    reply.deleteLater();
    reply_.clear();
    if (reply.error() != QNetworkReply::NoError || reply.property(tooLargeProperty).toBool()) {
        report(kind, failedCheck(installed_, reasonForFailedReply(reply, timeout_)));
        return;
    }
    const auto bytes = reply.readAll();
    report(kind,
           evaluateAppcast(installed_, std::string_view(bytes.constData(),
                                                        static_cast<std::size_t>(bytes.size()))));
}

void AppcastUpdater::report(UpdateCheck kind, const UpdateCheckOutcome& outcome) {
    // Scheduled checks stay quiet unless there is something to get.
    if (kind != UpdateCheck::updates && outcome.kind != UpdateCheckOutcome::Kind::newerVersion) {
        return;
    }
    userDriver_->show(outcome);
}

} // namespace velotrack
