#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// How urgent queued work is. The global queues are grouped by it; the numeric values are the
// platform's own, which the process runner also hands to the tools it starts.
enum class QualityOfService { background, utility, defaultClass, userInitiated, userInteractive };

// A piece of scheduled work that can be called off. Copies share the same work. Cancelling is
// final, safe from any thread and idempotent; work that has not started by then never runs. Work
// already running on another thread is not interrupted, so closures that outlive their owner
// hold it weakly.
class ScheduledWork {
public:
    ScheduledWork() = default;

    void cancel() const;
    bool isCancelled() const;
    // A handle that refers to no work (default-constructed).
    bool isEmpty() const { return state_ == nullptr; }

    struct State;
    explicit ScheduledWork(std::shared_ptr<State> state) : state_(std::move(state)) {}

private:
    std::shared_ptr<State> state_;
};

// A queue of work, as the platform's dispatch queues are:
// - `main()` runs its work on the main run loop (GLib's default main context, which Qt's event
//   loop also runs), so work posted there runs on the application's interface thread, or in a
//   headless program while it runs `RunLoop::main()`;
// - `global(qos)` runs work concurrently on a small shared pool of threads;
// - `makeSerial(label)` runs work one item at a time, in order, on a thread of its own.
//
// Delays are measured on the monotonic clock. Work submitted to a queue that has been released
// is dropped. A serial queue's thread ends when the last reference to the queue goes; work still
// waiting then is dropped without running.
class DispatchQueue {
public:
    virtual ~DispatchQueue() = default;
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    static std::shared_ptr<DispatchQueue> main();
    static std::shared_ptr<DispatchQueue>
    global(QualityOfService qos = QualityOfService::defaultClass);
    static std::shared_ptr<DispatchQueue> makeSerial(std::string label);

    const std::string& label() const { return label_; }

    // Runs `work` on this queue as soon as it can.
    virtual ScheduledWork async(std::function<void()> work) = 0;

    // Runs `work` on this queue once `delay` has passed.
    virtual ScheduledWork asyncAfter(std::chrono::nanoseconds delay,
                                     std::function<void()> work) = 0;

    // Runs `work` on this queue every `interval`, the first time after `initialDelay`, until
    // cancelled. `leeway` is how late a tick may be allowed to fire so the system can group
    // wake-ups; here it is a hint only. A tick is never run twice at once: on a global queue a tick
    // that falls due while the previous one still runs is skipped. Ticks keep to the schedule set
    // by the first (no drift); a queue that fell behind resumes one interval after it catches up.
    virtual ScheduledWork scheduleRepeating(std::chrono::nanoseconds initialDelay,
                                            std::chrono::nanoseconds interval,
                                            std::chrono::nanoseconds leeway,
                                            std::function<void()> work) = 0;

    // True when the calling thread is the one running this queue's work (always false for a
    // global queue, whose work runs on several threads).
    virtual bool isCurrent() const = 0;

protected:
    explicit DispatchQueue(std::string label) : label_(std::move(label)) {}

private:
    std::string label_;
};

// The label the platform gives to each global queue ("com.apple.root.default-qos", ...).
std::string_view globalQueueLabel(QualityOfService qos);

} // namespace platform
