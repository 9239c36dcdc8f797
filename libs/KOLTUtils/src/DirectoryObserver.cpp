#include "koltutils/DirectoryObserver.h"

#include "koltutils/DescribedError.h"
#include "platform/FileEventSource.h"

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

namespace koltutils {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::seconds settleInterval{1};

std::vector<fs::path> difference(const std::set<fs::path>& from, const std::set<fs::path>& minus) {
    std::vector<fs::path> result;
    std::set_difference(from.begin(), from.end(), minus.begin(), minus.end(),
                        std::back_inserter(result));
    return result;
}

} // namespace

DirectoryObserver::DirectoryObserver(Path url) : url_(std::move(url)) {}

std::shared_ptr<DirectoryObserver> DirectoryObserver::make(const Path& url) {
    std::error_code error;
    if (!fs::is_directory(url, error)) {
        throw DescribedError("URL must be a directory");
    }
    std::shared_ptr<DirectoryObserver> observer(new DirectoryObserver(url));
    observer->previousContents_ = observer->visibleContents();
    return observer;
}

DirectoryObserver::~DirectoryObserver() {
    stop();
}

std::string DirectoryObserver::description() const {
    return "DirectoryObserver(url: \"" + url_.string() + "\")";
}

bool DirectoryObserver::isWatching() const {
    std::lock_guard lock(mutex_);
    return source_ != nullptr;
}

void DirectoryObserver::setEventHandler(EventHandler handler) {
    std::lock_guard lock(deliveryMutex_);
    eventHandler_ = std::move(handler);
}

void DirectoryObserver::start() {
    std::lock_guard lock(mutex_);
    if (source_) {
        return;
    }
    queue_ = platform::DispatchQueue::global(platform::QualityOfService::defaultClass);
    try {
        source_ = platform::FileEventSource::watchDirectory(
            url_, queue_, [weak = weak_from_this()](unsigned /*events*/) {
                if (const auto self = weak.lock()) {
                    self->handleFileEvent();
                }
            });
    } catch (const std::system_error&) {
        throw DescribedError("failed to open url: " + url_.string());
    }
}

void DirectoryObserver::stop() {
    std::lock_guard delivery(deliveryMutex_);
    std::shared_ptr<platform::FileEventSource> source;
    std::map<std::uint64_t, platform::ScheduledWork> checks;
    {
        std::lock_guard lock(mutex_);
        source = std::move(source_);
        source_.reset();
        checks = std::exchange(pendingChecks_, {});
        directoryChanged_ = false;
        retriesLeft_ = 0;
    }
    for (const auto& [id, work] : checks) {
        work.cancel();
    }
    if (source) {
        source->cancel();
    }
}

void DirectoryObserver::handleFileEvent() {
    std::lock_guard lock(mutex_);
    // Events during a settle chain are covered by its next snapshot.
    if (!source_ || directoryChanged_) {
        return;
    }
    directoryChanged_ = true;
    retriesLeft_ = 3;
    scheduleCheck(settleInterval);
}

// Called with mutex_ held.
void DirectoryObserver::scheduleCheck(std::chrono::nanoseconds delay) {
    auto before = snapshot();
    if (!before) {
        // The chain ends; the next event may start a new one.
        directoryChanged_ = false;
        return;
    }
    const std::uint64_t id = nextCheck_++;
    pendingChecks_[id] =
        queue_->asyncAfter(delay, [weak = weak_from_this(), before = std::move(*before), id] {
            if (const auto self = weak.lock()) {
                self->check(before, id);
            }
        });
}

void DirectoryObserver::check(const Snapshot& before, std::uint64_t id) {
    {
        std::lock_guard lock(mutex_);
        pendingChecks_.erase(id);
        if (!source_) {
            return;
        }
        const auto after = snapshot();
        if (!after) {
            directoryChanged_ = false;
            return;
        }
        if (*after != before) {
            directoryChanged_ = true;
            retriesLeft_ = 2;
            scheduleCheck(settleInterval);
            return;
        }
        directoryChanged_ = false;
        --retriesLeft_;
        if (retriesLeft_ > 0) {
            scheduleCheck(settleInterval);
            return;
        }
    }
    report();
}

void DirectoryObserver::report() {
    std::lock_guard delivery(deliveryMutex_);
    std::vector<Path> removed;
    std::vector<Path> added;
    {
        std::lock_guard lock(mutex_);
        if (!source_) {
            return;
        }
        auto contents = visibleContents();
        removed = difference(previousContents_, contents);
        added = difference(contents, previousContents_);
        previousContents_ = std::move(contents);
    }
    // The handler may stop this observer; it must not see a second event after that.
    if (!removed.empty() && eventHandler_) {
        eventHandler_(DirectoryEvent::removed(std::move(removed), url_));
    }
    if (!added.empty() && eventHandler_ && isWatching()) {
        eventHandler_(DirectoryEvent::makeNew(std::move(added), url_));
    }
}

std::optional<DirectoryObserver::Snapshot> DirectoryObserver::snapshot() const {
    Snapshot entries;
    std::error_code error;
    for (fs::directory_iterator it(url_, error), end; it != end; it.increment(error)) {
        if (error) {
            return std::nullopt;
        }
        std::error_code sizeError;
        const auto size = it->is_regular_file(sizeError) ? it->file_size(sizeError) : 0U;
        entries.emplace(it->path().filename().string(), sizeError ? 0U : size);
    }
    if (error) {
        return std::nullopt;
    }
    return entries;
}

std::set<DirectoryObserver::Path> DirectoryObserver::visibleContents() const {
    std::set<Path> contents;
    std::error_code error;
    for (fs::directory_iterator it(url_, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name.front() != '.') {
            contents.insert(it->path());
        }
    }
    return contents;
}

} // namespace koltutils
