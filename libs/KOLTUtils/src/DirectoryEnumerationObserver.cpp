#include "koltutils/DirectoryEnumerationObserver.h"

#include "koltutils/DescribedError.h"
#include "koltutils/FileSystem.h"
#include "koltutils/Log.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace koltutils {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::nanoseconds deliveryDelay{1'000'000'000};

// Whether `path` is `folder` or lies below it.
bool isWithin(const fs::path& path, const fs::path& folder) {
    const auto [folderEnd, pathAt] =
        std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return folderEnd == folder.end();
}

} // namespace

std::shared_ptr<DirectoryEnumerationObserver> DirectoryEnumerationObserver::make(const Path& url) {
    std::error_code error;
    if (!fs::is_directory(url, error)) {
        throw DescribedError("URL must be a directory");
    }
    return std::shared_ptr<DirectoryEnumerationObserver>(new DirectoryEnumerationObserver(url));
}

DirectoryEnumerationObserver::~DirectoryEnumerationObserver() {
    stop();
}

void DirectoryEnumerationObserver::setDelegate(
    std::weak_ptr<DirectoryEnumerationObserverDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

std::string DirectoryEnumerationObserver::description() const {
    std::lock_guard lock(mutex_);
    return "DirectoryEnumerationObserver(url: \"" + url_.string() +
           "\", observers: " + std::to_string(observers_.size()) + ")";
}

bool DirectoryEnumerationObserver::isObserving() const {
    std::lock_guard lock(mutex_);
    return !observers_.empty();
}

std::vector<DirectoryEnumerationObserver::Path>
DirectoryEnumerationObserver::observedFolders() const {
    std::lock_guard lock(mutex_);
    std::vector<Path> folders;
    for (const auto& observer : observers_) {
        folders.push_back(observer->url());
    }
    return folders;
}

void DirectoryEnumerationObserver::start() {
    {
        std::lock_guard lock(mutex_);
        if (observing_) {
            return;
        }
        observing_ = true;
    }
    auto folders = FileSystem::getDirectories(url_, true, true);
    folders.insert(folders.begin(), url_);
    observe(folders);
}

bool DirectoryEnumerationObserver::isObservedLocked(const Path& folder) const {
    return std::any_of(observers_.begin(), observers_.end(),
                       [&](const auto& observer) { return observer->url() == folder; });
}

// The observers are made and started outside mutex_: a running observer's handler takes mutex_
// while holding its own delivery lock, so mutex_ is never held while taking an observer's.
void DirectoryEnumerationObserver::observe(const std::vector<Path>& folders) {
    for (const auto& folder : folders) {
        {
            std::lock_guard lock(mutex_);
            if (!observing_ || isObservedLocked(folder)) {
                continue;
            }
        }
        std::shared_ptr<DirectoryObserver> observer;
        try {
            observer = DirectoryObserver::make(folder);
            observer->setEventHandler([weak = weak_from_this()](const DirectoryEvent& event) {
                if (const auto self = weak.lock()) {
                    self->handleObservation(event);
                }
            });
            observer->start();
        } catch (const DescribedError& error) {
            KOLT_LOG_ERROR("start()", folder, error.what());
            continue;
        }
        bool kept = false;
        {
            std::lock_guard lock(mutex_);
            if (observing_ && !isObservedLocked(folder)) {
                observers_.push_back(observer);
                kept = true;
            }
        }
        if (!kept) {
            observer->stop();
        }
    }
}

void DirectoryEnumerationObserver::stop() {
    std::lock_guard delivery(deliveryMutex_);
    std::vector<std::shared_ptr<DirectoryObserver>> observers;
    {
        std::lock_guard lock(mutex_);
        observing_ = false;
        observers = std::exchange(observers_, {});
        eventTask_.cancel();
        eventQueue_.clear();
    }
    // Outside the lock: a child's handler may be waiting for it right now.
    for (const auto& observer : observers) {
        observer->stop();
    }
}

void DirectoryEnumerationObserver::handleObservation(const DirectoryEvent& event) {
    if (event.isNew()) {
        KOLT_LOG_DEBUG("handleObservation(event:)", "new", "source:", event.source(), "urls",
                       event.files());
    } else {
        KOLT_LOG_DEBUG("handleObservation(event:)", "removed", "source:", event.source(), "urls",
                       event.files());
    }
    std::vector<std::shared_ptr<DirectoryObserver>> gone;
    std::vector<Path> appeared;
    {
        std::lock_guard lock(mutex_);
        if (!observing_) {
            return;
        }
        for (const auto& file : event.files()) {
            std::error_code error;
            if (event.isNew() && fs::is_directory(file, error) && !FileSystem::isPackage(file) &&
                file.filename().string().front() != '.') {
                appeared.push_back(file);
            } else if (!event.isNew()) {
                const auto firstGone = std::stable_partition(
                    observers_.begin(), observers_.end(),
                    [&](const auto& observer) { return !isWithin(observer->url(), file); });
                gone.insert(gone.end(), std::make_move_iterator(firstGone),
                            std::make_move_iterator(observers_.end()));
                observers_.erase(firstGone, observers_.end());
            }
        }
    }
    for (const auto& observer : gone) {
        observer->stop();
    }
    for (const auto& folder : appeared) {
        auto folders = FileSystem::getDirectories(folder, true, true);
        folders.insert(folders.begin(), folder);
        observe(folders);
    }
    queue(event);
}

void DirectoryEnumerationObserver::queue(const DirectoryEvent& event) {
    std::lock_guard lock(mutex_);
    if (!observing_) {
        return;
    }
    if (std::find(eventQueue_.begin(), eventQueue_.end(), event) == eventQueue_.end()) {
        eventQueue_.push_back(event);
    }
    eventTask_.cancel();
    eventTask_ =
        platform::DispatchQueue::global()->asyncAfter(deliveryDelay, [weak = weak_from_this()] {
            if (const auto self = weak.lock()) {
                self->deliver();
            }
        });
}

void DirectoryEnumerationObserver::deliver() {
    std::lock_guard delivery(deliveryMutex_);
    std::vector<DirectoryEvent> events;
    std::shared_ptr<DirectoryEnumerationObserverDelegate> delegate;
    {
        std::lock_guard lock(mutex_);
        if (!observing_) {
            return;
        }
        // A task replaced after it started finds the queue taken by its successor, or the reverse.
        events = std::exchange(eventQueue_, {});
        delegate = delegate_.lock();
    }
    if (!events.empty() && delegate) {
        delegate->directoryEnumerationObserver(*this, events);
    }
}

} // namespace koltutils
