#include "platform/FileEventSource.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <glib-unix.h>
#include <glib.h>
#include <map>
#include <mutex>
#include <sys/inotify.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

// A folder's own content changes, and the folder itself going away.
constexpr std::uint32_t watchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                    IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                    IN_ONLYDIR;

unsigned eventsOf(std::uint32_t mask) {
    unsigned events = 0;
    if ((mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_ATTRIB |
                 IN_Q_OVERFLOW)) != 0) {
        events |= FileEvents::write;
    }
    if ((mask & IN_DELETE_SELF) != 0) {
        events |= FileEvents::deleted;
    }
    if ((mask & IN_MOVE_SELF) != 0) {
        events |= FileEvents::renamed;
    }
    return events;
}

class Reader;

} // namespace

struct FileEventSource::State : std::enable_shared_from_this<FileEventSource::State> {
    std::shared_ptr<DispatchQueue> queue;
    Handler handler;
    std::shared_ptr<Reader> reader;
    int watchDescriptor = -1;

    mutable std::mutex mutex;
    bool cancelled = false;
    unsigned pending = 0;
    bool deliveryQueued = false;

    // Called by the reader thread: merges the bits into a delivery waiting on the queue, or
    // queues one.
    void post(unsigned events) {
        std::lock_guard lock(mutex);
        if (cancelled) {
            return;
        }
        pending |= events;
        if (deliveryQueued) {
            return;
        }
        deliveryQueued = true;
        queue->async([weak = weak_from_this()] {
            const auto self = weak.lock();
            if (!self) {
                return;
            }
            Handler current;
            unsigned delivered = 0;
            {
                std::lock_guard deliveryLock(self->mutex);
                self->deliveryQueued = false;
                if (self->cancelled) {
                    return;
                }
                delivered = std::exchange(self->pending, 0U);
                current = self->handler;
            }
            if (delivered != 0 && current) {
                current(delivered);
            }
        });
    }
};

namespace {

// One inotify descriptor read on a thread running a GLib context of its own. The thread never
// holds a reference to its Reader, so the Reader is always destroyed (and the thread joined)
// elsewhere.
class Reader {
public:
    Reader() : descriptor_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (descriptor_ < 0) {
            throw std::system_error(errno, std::generic_category(), "inotify_init1");
        }
        context_ = g_main_context_new();
        GSource* source = g_unix_fd_source_new(descriptor_, G_IO_IN);
        g_source_set_callback(source, G_SOURCE_FUNC(&Reader::readable), this, nullptr);
        g_source_attach(source, context_);
        g_source_unref(source);
        thread_ = std::thread([this] {
            g_main_context_push_thread_default(context_);
            while (!stopping_.load()) {
                g_main_context_iteration(context_, TRUE);
            }
            g_main_context_pop_thread_default(context_);
        });
    }

    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    ~Reader() {
        stopping_.store(true);
        g_main_context_wakeup(context_);
        thread_.join();
        g_main_context_unref(context_);
        close(descriptor_);
    }

    int add(const std::filesystem::path& folder,
            const std::shared_ptr<FileEventSource::State>& state) {
        const int watch = inotify_add_watch(descriptor_, folder.c_str(), watchMask);
        if (watch < 0) {
            throw std::system_error(errno, std::generic_category(), folder.string());
        }
        std::lock_guard lock(mutex_);
        // The same folder watched twice shares one watch descriptor.
        watches_[watch].push_back(state);
        ++sources_;
        return watch;
    }

    // Returns the number of sources left.
    std::size_t remove(int watch, const FileEventSource::State* state) {
        std::lock_guard lock(mutex_);
        if (const auto found = watches_.find(watch); found != watches_.end()) {
            auto& states = found->second;
            std::erase_if(states, [state](const auto& weak) {
                const auto strong = weak.lock();
                return !strong || strong.get() == state;
            });
            if (states.empty()) {
                inotify_rm_watch(descriptor_, watch);
                watches_.erase(found);
            }
        }
        return --sources_;
    }

private:
    static gboolean readable(gint /*fd*/, GIOCondition /*condition*/, gpointer data) {
        static_cast<Reader*>(data)->readEvents();
        return G_SOURCE_CONTINUE;
    }

    void readEvents() {
        alignas(inotify_event) std::array<char, 16384> buffer{};
        std::map<int, unsigned> events;
        bool overflowed = false;
        for (;;) {
            const ssize_t length = read(descriptor_, buffer.data(), buffer.size());
            if (length <= 0) {
                break;
            }
            for (ssize_t offset = 0; offset < length;) {
                inotify_event event{};
                std::copy_n(buffer.data() + offset, sizeof event, reinterpret_cast<char*>(&event));
                offset += static_cast<ssize_t>(sizeof event + event.len);
                if ((event.mask & IN_Q_OVERFLOW) != 0) {
                    overflowed = true;
                } else if (const unsigned bits = eventsOf(event.mask); bits != 0) {
                    events[event.wd] |= bits;
                }
            }
        }
        std::vector<std::pair<std::shared_ptr<FileEventSource::State>, unsigned>> deliveries;
        {
            std::lock_guard lock(mutex_);
            for (const auto& [watch, states] : watches_) {
                const auto found = events.find(watch);
                const unsigned bits = (found != events.end() ? found->second : 0U) |
                                      (overflowed ? FileEvents::write : 0U);
                if (bits == 0) {
                    continue;
                }
                for (const auto& weak : states) {
                    if (auto state = weak.lock()) {
                        deliveries.emplace_back(std::move(state), bits);
                    }
                }
            }
        }
        for (const auto& [state, bits] : deliveries) {
            state->post(bits);
        }
    }

    int descriptor_;
    GMainContext* context_ = nullptr;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::map<int, std::vector<std::weak_ptr<FileEventSource::State>>> watches_;
    std::size_t sources_ = 0;
};

std::mutex readerMutex;
std::weak_ptr<Reader> currentReader;

} // namespace

std::shared_ptr<FileEventSource>
FileEventSource::watchDirectory(const std::filesystem::path& folder,
                                std::shared_ptr<DispatchQueue> queue, Handler handler) {
    auto state = std::make_shared<State>();
    state->queue = std::move(queue);
    state->handler = std::move(handler);
    std::lock_guard lock(readerMutex);
    auto reader = currentReader.lock();
    if (!reader) {
        reader = std::make_shared<Reader>();
        currentReader = reader;
    }
    state->watchDescriptor = reader->add(folder, state);
    state->reader = std::move(reader);
    return std::shared_ptr<FileEventSource>(new FileEventSource(std::move(state)));
}

FileEventSource::~FileEventSource() {
    cancel();
}

void FileEventSource::cancel() {
    std::shared_ptr<Reader> reader;
    {
        std::lock_guard lock(state_->mutex);
        if (state_->cancelled) {
            return;
        }
        state_->cancelled = true;
        state_->handler = nullptr;
        reader = std::move(state_->reader);
    }
    {
        std::lock_guard lock(readerMutex);
        reader->remove(state_->watchDescriptor, state_.get());
    }
    // The last source to go takes the reader (and its thread) with it, here, outside the locks.
    reader.reset();
}

bool FileEventSource::isCancelled() const {
    std::lock_guard lock(state_->mutex);
    return state_->cancelled;
}

} // namespace platform
