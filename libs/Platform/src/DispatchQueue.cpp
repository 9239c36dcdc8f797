#include "platform/DispatchQueue.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <glib.h>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {

// One scheduled closure. The GLib source that times it and the handles given to callers share
// it; the closure is dropped as soon as the work is cancelled or a one-shot has run, so whatever
// it captured does not outlive its use.
struct ScheduledWork::State {
    explicit State(std::function<void()> work, bool repeats)
        : work_(std::make_shared<std::function<void()>>(std::move(work))), repeats_(repeats) {}

    ~State() {
        if (source_ != nullptr) {
            g_source_unref(source_);
        }
    }

    State(const State&) = delete;
    State& operator=(const State&) = delete;

    void attach(GSource* source) {
        const std::lock_guard lock(mutex_);
        source_ = g_source_ref(source);
    }

    void cancel() {
        std::shared_ptr<std::function<void()>> dropped;
        GSource* source = nullptr;
        {
            const std::lock_guard lock(mutex_);
            if (cancelled_.exchange(true)) {
                return;
            }
            dropped = std::move(work_);
            source = std::exchange(source_, nullptr);
        }
        if (source != nullptr) {
            g_source_destroy(source);
            g_source_unref(source);
        }
    }

    bool isCancelled() const { return cancelled_.load(); }

    // Runs the work unless it was cancelled; a one-shot lets go of its closure afterwards.
    void perform() {
        std::shared_ptr<std::function<void()>> work;
        {
            const std::lock_guard lock(mutex_);
            if (cancelled_.load() || !work_) {
                return;
            }
            work = repeats_ ? work_ : std::move(work_);
        }
        (*work)();
    }

    // For repeating work on a pool: claims the right to run one tick.
    bool beginTick() { return !ticking_.exchange(true); }
    void endTick() { ticking_.store(false); }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<std::function<void()>> work_;
    GSource* source_ = nullptr;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> ticking_{false};
    bool repeats_;
};

void ScheduledWork::cancel() const {
    if (state_) {
        state_->cancel();
    }
}

bool ScheduledWork::isCancelled() const {
    return state_ ? state_->isCancelled() : true;
}

namespace {

using StatePointer = std::shared_ptr<ScheduledWork::State>;

gint64 microseconds(std::chrono::nanoseconds duration) {
    // Round up so that work never runs before its delay has passed.
    const auto count = duration.count();
    return count <= 0 ? 0 : static_cast<gint64>((count + 999) / 1000);
}

// What a timing source does when it fires: run the work where it is, or hand it on to a pool.
using Dispatch = void (*)(const StatePointer& state, gpointer target);

struct TimingSource {
    GSource source;
    Dispatch dispatch;
    gpointer target;
    gint64 interval; // microseconds; 0 for one-shot work
};

// GLib hands sources between threads under locks of its own, which the thread sanitizer cannot
// see. Every hand-over also passes through this lock, so the order of events between the thread
// that schedules work and the one that runs or frees it is one that our tools can check.
std::mutex& handOver() {
    static std::mutex mutex;
    return mutex;
}

void acquireHandOver() {
    const std::lock_guard lock(handOver());
}

gboolean dispatchTimingSource(GSource* source, GSourceFunc, gpointer data) {
    acquireHandOver();
    auto* timing = reinterpret_cast<TimingSource*>(source);
    const gint64 interval = timing->interval;
    if (interval > 0) {
        // Keep to the schedule; a source that fell behind starts again from now.
        const gint64 now = g_source_get_time(source);
        gint64 next = g_source_get_ready_time(source) + interval;
        if (next <= now) {
            next = now + interval;
        }
        g_source_set_ready_time(source, next);
    }
    timing->dispatch(*static_cast<StatePointer*>(data), timing->target);
    // Whoever frees the source or its work next does so after this point.
    acquireHandOver();
    return interval > 0 ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

GSourceFuncs timingSourceFuncs = {nullptr, nullptr, dispatchTimingSource,
                                  nullptr, nullptr, nullptr};

void deleteStatePointer(gpointer data) {
    acquireHandOver();
    delete static_cast<StatePointer*>(data);
}

// Schedules `state` on `context`: a source whose ready time is the delay from now. The source
// holds the work only until it is destroyed (cancelled, done, or its context released), so
// pending work of a released queue is freed rather than leaked.
ScheduledWork schedule(GMainContext* context, StatePointer state, std::chrono::nanoseconds delay,
                       std::chrono::nanoseconds interval, Dispatch dispatch, gpointer target) {
    const std::lock_guard lock(handOver());
    GSource* source = g_source_new(&timingSourceFuncs, sizeof(TimingSource));
    auto* timing = reinterpret_cast<TimingSource*>(source);
    timing->dispatch = dispatch;
    timing->target = target;
    timing->interval = microseconds(interval);
    g_source_set_callback(source, nullptr, new StatePointer(state), deleteStatePointer);
    g_source_set_ready_time(source, g_get_monotonic_time() + microseconds(delay));
    state->attach(source);
    g_source_attach(source, context);
    g_source_unref(source);
    return ScheduledWork(std::move(state));
}

void performHere(const StatePointer& state, gpointer) {
    state->perform();
}

// A queue whose work runs on the one thread that iterates a GLib main context.
class ContextQueue : public DispatchQueue {
public:
    ContextQueue(std::string label, GMainContext* context)
        : DispatchQueue(std::move(label)), context_(g_main_context_ref(context)) {}
    ~ContextQueue() override { g_main_context_unref(context_); }

    ScheduledWork async(std::function<void()> work) override {
        return asyncAfter(std::chrono::nanoseconds(0), std::move(work));
    }

    ScheduledWork asyncAfter(std::chrono::nanoseconds delay, std::function<void()> work) override {
        return schedule(context_, std::make_shared<ScheduledWork::State>(std::move(work), false),
                        delay, std::chrono::nanoseconds(0), performHere, nullptr);
    }

    ScheduledWork scheduleRepeating(std::chrono::nanoseconds initialDelay,
                                    std::chrono::nanoseconds interval, std::chrono::nanoseconds,
                                    std::function<void()> work) override {
        return schedule(context_, std::make_shared<ScheduledWork::State>(std::move(work), true),
                        initialDelay, std::max(interval, std::chrono::nanoseconds(1000)),
                        performHere, nullptr);
    }

    bool isCurrent() const override { return g_main_context_is_owner(context_) != FALSE; }

protected:
    GMainContext* context() const { return context_; }

private:
    GMainContext* context_;
};

// A serial queue: a thread of its own that runs its own context until the queue is released.
class SerialQueue final : public ContextQueue {
public:
    explicit SerialQueue(std::string label)
        : ContextQueue(std::move(label), OwnedContext().context),
          running_(std::make_shared<Running>()) {
        thread_ = std::thread([context = g_main_context_ref(context()), running = running_] {
            g_main_context_push_thread_default(context);
            // Our own flag rather than a GMainLoop: a quit that comes before the loop has
            // started must not be lost.
            while (!running->quit.load()) {
                g_main_context_iteration(context, TRUE);
            }
            g_main_context_pop_thread_default(context);
            g_main_context_unref(context);
        });
    }

    ~SerialQueue() override {
        running_->quit.store(true);
        g_main_context_wakeup(context());
        if (thread_.get_id() == std::this_thread::get_id()) {
            // Released by its own work: the thread finishes that work and ends by itself, with
            // its own references to what it uses.
            thread_.detach();
        } else {
            thread_.join();
        }
    }

private:
    struct Running {
        std::atomic<bool> quit{false};
    };

    // A new context whose creation reference is dropped once the queue has taken its own.
    struct OwnedContext {
        GMainContext* context = g_main_context_new();
        ~OwnedContext() { g_main_context_unref(context); }
    };

    std::shared_ptr<Running> running_;
    std::thread thread_;
};

// The timers of the global queues: one thread whose context fires every delay and hands the
// work to the pool of the queue it was scheduled on.
class GlobalTimerThread {
public:
    static GMainContext* context() {
        static GlobalTimerThread* const instance = new GlobalTimerThread();
        return instance->context_;
    }

private:
    GlobalTimerThread() : context_(g_main_context_new()) {
        std::thread([context = context_] {
            g_main_context_push_thread_default(context);
            for (;;) {
                g_main_context_iteration(context, TRUE);
            }
        }).detach();
    }

    GMainContext* context_;
};

// The threads behind a global queue. Our own rather than GLib's pool, so that the hand-over of
// work between threads is visible to the thread sanitizer.
class WorkerPool {
public:
    explicit WorkerPool(int threads) {
        for (int index = 0; index < threads; ++index) {
            std::thread([this] { work(); }).detach();
        }
    }

    void push(std::function<void()> task) {
        {
            const std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        ready_.notify_one();
    }

private:
    [[noreturn]] void work() {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return !tasks_.empty(); });
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
};

class GlobalQueue final : public DispatchQueue {
public:
    explicit GlobalQueue(QualityOfService qos)
        : DispatchQueue(std::string(globalQueueLabel(qos))), pool_(new WorkerPool(poolSize)) {}

    // The global queues live as long as the process.
    ~GlobalQueue() override = default;

    ScheduledWork async(std::function<void()> work) override {
        auto state = std::make_shared<ScheduledWork::State>(std::move(work), false);
        push(state, false);
        return ScheduledWork(std::move(state));
    }

    ScheduledWork asyncAfter(std::chrono::nanoseconds delay, std::function<void()> work) override {
        return schedule(GlobalTimerThread::context(),
                        std::make_shared<ScheduledWork::State>(std::move(work), false), delay,
                        std::chrono::nanoseconds(0), pushOnce, this);
    }

    ScheduledWork scheduleRepeating(std::chrono::nanoseconds initialDelay,
                                    std::chrono::nanoseconds interval, std::chrono::nanoseconds,
                                    std::function<void()> work) override {
        return schedule(GlobalTimerThread::context(),
                        std::make_shared<ScheduledWork::State>(std::move(work), true), initialDelay,
                        std::max(interval, std::chrono::nanoseconds(1000)), pushTick, this);
    }

    bool isCurrent() const override { return false; }

private:
    static constexpr int poolSize = 4;

    void push(StatePointer state, bool tick) {
        pool_->push([state = std::move(state), tick] {
            state->perform();
            if (tick) {
                state->endTick();
            }
        });
    }

    static void pushOnce(const StatePointer& state, gpointer queue) {
        static_cast<GlobalQueue*>(queue)->push(state, false);
    }

    static void pushTick(const StatePointer& state, gpointer queue) {
        if (state->beginTick()) {
            static_cast<GlobalQueue*>(queue)->push(state, true);
        }
    }

    // Lives as long as the process, like the queue: its threads never end.
    WorkerPool* pool_;
};

} // namespace

std::string_view globalQueueLabel(QualityOfService qos) {
    switch (qos) {
    case QualityOfService::background:
        return "com.apple.root.background-qos";
    case QualityOfService::utility:
        return "com.apple.root.utility-qos";
    case QualityOfService::defaultClass:
        return "com.apple.root.default-qos";
    case QualityOfService::userInitiated:
        return "com.apple.root.user-initiated-qos";
    case QualityOfService::userInteractive:
        return "com.apple.root.user-interactive-qos";
    }
    return "com.apple.root.default-qos";
}

std::shared_ptr<DispatchQueue> DispatchQueue::main() {
    static const std::shared_ptr<DispatchQueue> queue =
        std::make_shared<ContextQueue>("com.apple.main-thread", g_main_context_default());
    return queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::global(QualityOfService qos) {
    // Built once each and never destroyed: work may be queued on them until the process ends.
    static std::mutex mutex;
    static std::shared_ptr<DispatchQueue>* queues[5] = {};
    const auto index = static_cast<std::size_t>(qos);
    const std::lock_guard lock(mutex);
    if (queues[index] == nullptr) {
        queues[index] = new std::shared_ptr<DispatchQueue>(std::make_shared<GlobalQueue>(qos));
    }
    return *queues[index];
}

std::shared_ptr<DispatchQueue> DispatchQueue::makeSerial(std::string label) {
    return std::make_shared<SerialQueue>(std::move(label));
}

} // namespace platform
