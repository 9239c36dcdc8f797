#pragma once

#include "platform/DispatchQueue.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace platform {

// What happened to a watched folder, as bits that can be combined.
namespace FileEvents {
// An entry of the folder appeared, disappeared, was renamed, written or had its attributes
// changed: the folder's contents are no longer what they were.
inline constexpr unsigned write = 1U << 0U;
// The folder itself was deleted.
inline constexpr unsigned deleted = 1U << 1U;
// The folder itself was moved or renamed.
inline constexpr unsigned renamed = 1U << 2U;
} // namespace FileEvents

// File-system events of one folder, delivered on a dispatch queue (the platform's dispatch
// source for file-system objects). Watching starts when the source is made and ends with
// `cancel()` or when the last reference goes. Events that arrive while an earlier delivery is
// still waiting on the queue are merged into it, so a handler sees the union of their bits.
//
// On this machine the events come from inotify; one reader serves every source of the process
// and stops when the last source is cancelled.
class FileEventSource {
public:
    using Handler = std::function<void(unsigned events)>;

    // Watches the folder at `folder`. Throws std::system_error when it cannot be watched (it is
    // missing, not a folder, not readable, or the system's watch limit is reached).
    static std::shared_ptr<FileEventSource> watchDirectory(const std::filesystem::path& folder,
                                                           std::shared_ptr<DispatchQueue> queue,
                                                           Handler handler);

    FileEventSource(const FileEventSource&) = delete;
    FileEventSource& operator=(const FileEventSource&) = delete;
    ~FileEventSource();

    // Ends the watch. Final, idempotent and safe from any thread, including from the handler.
    // Once it returns no new call of the handler starts; one already running is not interrupted.
    void cancel();
    bool isCancelled() const;

    struct State;

private:
    explicit FileEventSource(std::shared_ptr<State> state) : state_(std::move(state)) {}

    std::shared_ptr<State> state_;
};

} // namespace platform
