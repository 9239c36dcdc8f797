#pragma once

// Watches a folder and every folder below it (hidden folders and packages excepted), one
// DirectoryObserver per folder, the top folder included, and hands its delegate the events of a
// burst of changes together: each event waits in a queue (an event equal to one already waiting
// is dropped) until one second has passed without another, then the whole queue goes to the
// delegate in arrival order in one call, on the global queue.
//
// Folders that appear later are watched from the report that shows them (with the folders inside
// them); the observers of folders reported removed, and of the folders below them, are stopped.
//
// Errors: make() throws DescribedError "URL must be a directory"; start() logs at error level any
// folder it could not watch and goes on with the others. Lifetime and threads as for
// DirectoryObserver: work holds the observer weakly, and after stop() returns (from another
// thread than the delegate's) the delegate is not called again.

#include "koltutils/DirectoryEvent.h"
#include "koltutils/DirectoryObserver.h"
#include "platform/DispatchQueue.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace koltutils {

class DirectoryEnumerationObserver;

class DirectoryEnumerationObserverDelegate {
public:
    DirectoryEnumerationObserverDelegate() = default;
    DirectoryEnumerationObserverDelegate(const DirectoryEnumerationObserverDelegate&) = delete;
    DirectoryEnumerationObserverDelegate&
    operator=(const DirectoryEnumerationObserverDelegate&) = delete;
    virtual ~DirectoryEnumerationObserverDelegate() = default;

    // One burst of events, in arrival order.
    virtual void directoryEnumerationObserver(DirectoryEnumerationObserver& observer,
                                              const std::vector<DirectoryEvent>& events) = 0;
};

class DirectoryEnumerationObserver
    : public std::enable_shared_from_this<DirectoryEnumerationObserver> {
public:
    using Path = std::filesystem::path;

    static std::shared_ptr<DirectoryEnumerationObserver> make(const Path& url);

    DirectoryEnumerationObserver(const DirectoryEnumerationObserver&) = delete;
    DirectoryEnumerationObserver& operator=(const DirectoryEnumerationObserver&) = delete;
    ~DirectoryEnumerationObserver();

    // Held weakly: a delegate that is gone receives nothing.
    void setDelegate(std::weak_ptr<DirectoryEnumerationObserverDelegate> delegate);

    void start();
    void stop();
    bool isObserving() const;

    const Path& url() const noexcept { return url_; }
    // The folders watched now, in the order their observers were made.
    std::vector<Path> observedFolders() const;
    // DirectoryEnumerationObserver(url: "<path>", observers: <count>)
    std::string description() const;

private:
    explicit DirectoryEnumerationObserver(Path url) : url_(std::move(url)) {}

    void handleObservation(const DirectoryEvent& event);
    void queue(const DirectoryEvent& event);
    void deliver();
    // Called without mutex_ held.
    void observe(const std::vector<Path>& folders);
    bool isObservedLocked(const Path& folder) const;

    const Path url_;

    mutable std::mutex mutex_;
    std::weak_ptr<DirectoryEnumerationObserverDelegate> delegate_;
    bool observing_ = false;
    std::vector<std::shared_ptr<DirectoryObserver>> observers_;
    std::vector<DirectoryEvent> eventQueue_;
    platform::ScheduledWork eventTask_;
    // Held while the delegate runs, so that stop() can wait for it.
    std::recursive_mutex deliveryMutex_;
};

} // namespace koltutils
