#pragma once

// Watches one folder and reports the entries that appeared or disappeared once the folder has
// stopped changing, so that a file still being copied is not reported half-written.
//
// How it settles: the first file-system event starts a chain of checks one second apart, each
// comparing a snapshot of the folder (every entry's name and size, hidden entries included) with
// one taken a second earlier. Three equal snapshots in a row after the first event, or two after
// the last change, end the chain with a report. A report lists the folder again, hidden entries
// left out, and hands the handler the removed entries first and then the new ones, each as one
// DirectoryEvent (files sorted by path). A hidden file therefore delays a report without being in
// it. A listing that fails during a check ends that chain silently. An event that arrives after a
// check found the folder quiet starts a second chain beside the first; the later report then
// finds nothing new.
//
// Threads: events and checks run on the global queue of default quality of service, the handler
// too. The observer's work holds it weakly: releasing the last reference ends the watch and
// nothing runs afterwards. After `stop()` returns the handler is not called again, unless stop was
// called from the handler itself. Because stop waits for a running handler to return, a handler
// must not wait for the thread that calls stop.
//
// Errors: make() throws DescribedError "URL must be a directory"; start() throws
// "failed to open url: <path>".

#include "koltutils/DirectoryEvent.h"
#include "platform/DispatchQueue.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace platform {
class FileEventSource;
} // namespace platform

namespace koltutils {

class DirectoryObserver : public std::enable_shared_from_this<DirectoryObserver> {
public:
    using Path = std::filesystem::path;
    using EventHandler = std::function<void(const DirectoryEvent&)>;

    // An observer of the folder at `url`, its present contents recorded as the starting point.
    static std::shared_ptr<DirectoryObserver> make(const Path& url);

    DirectoryObserver(const DirectoryObserver&) = delete;
    DirectoryObserver& operator=(const DirectoryObserver&) = delete;
    ~DirectoryObserver();

    // Starts watching; does nothing when already watching.
    void start();
    // Stops watching and drops pending checks. The observer may be started again.
    void stop();
    bool isWatching() const;

    void setEventHandler(EventHandler handler);

    const Path& url() const noexcept { return url_; }
    // DirectoryObserver(url: "<path>")
    std::string description() const;

private:
    using Snapshot = std::map<std::string, std::uintmax_t>;

    explicit DirectoryObserver(Path url);

    void handleFileEvent();
    void scheduleCheck(std::chrono::nanoseconds delay);
    void check(const Snapshot& before, std::uint64_t id);
    void report();
    std::optional<Snapshot> snapshot() const;
    std::set<Path> visibleContents() const;

    const Path url_;

    mutable std::mutex mutex_;
    std::shared_ptr<platform::FileEventSource> source_;
    std::set<Path> previousContents_;
    std::shared_ptr<platform::DispatchQueue> queue_;
    int retriesLeft_ = 0;
    bool directoryChanged_ = false;
    std::map<std::uint64_t, platform::ScheduledWork> pendingChecks_;
    std::uint64_t nextCheck_ = 0;
    // Held while the handler runs, so that stop() can wait for it; recursive so that the
    // handler may stop its own observer.
    std::recursive_mutex deliveryMutex_;
    EventHandler eventHandler_;
};

} // namespace koltutils
