#pragma once

// Internal to the timers: the handler slot they share with the work they schedule.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kvntime::detail {

// Holds a timer's event handler. Scheduled work holds the gate weakly and calls through it, so
// the owner can close it: after `close()` returns no call starts, and none runs on another thread.
class HandlerGate {
public:
    std::function<void()> handler() const {
        const std::lock_guard lock(mutex_);
        return handler_;
    }
    void setHandler(std::function<void()> handler) {
        const std::lock_guard lock(mutex_);
        handler_ = std::move(handler);
    }

    // Calls the current handler, if any and not closed.
    void fire() { call(std::nullopt); }
    // Calls `handler` instead of the current one (work that captured its handler when scheduled).
    void fire(const std::function<void()>& handler) { call(handler); }

    // Waits for calls on other threads; a call on this thread (the handler releasing its own
    // timer) is not waited for, or it would wait for itself.
    void close() {
        std::unique_lock lock(mutex_);
        closed_ = true;
        const auto self = std::this_thread::get_id();
        idle_.wait(lock, [&] {
            return std::all_of(callers_.begin(), callers_.end(),
                               [&](std::thread::id caller) { return caller == self; });
        });
    }

private:
    void call(const std::optional<std::function<void()>>& given) {
        std::function<void()> handler;
        {
            const std::lock_guard lock(mutex_);
            if (closed_) {
                return;
            }
            handler = given ? *given : handler_;
            if (!handler) {
                return;
            }
            callers_.push_back(std::this_thread::get_id());
        }
        struct Leave {
            HandlerGate& gate;
            ~Leave() {
                {
                    const std::lock_guard lock(gate.mutex_);
                    gate.callers_.erase(std::find(gate.callers_.begin(), gate.callers_.end(),
                                                  std::this_thread::get_id()));
                }
                gate.idle_.notify_all();
            }
        } leave{*this};
        handler();
    }

    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::function<void()> handler_;
    bool closed_ = false;
    std::vector<std::thread::id> callers_;
};

// A delay in seconds as a duration; non-numbers and negatives are no delay, and delays are capped
// at a year so that the nanosecond count cannot overflow.
inline std::chrono::nanoseconds delayOf(double seconds) {
    constexpr double year = 365.0 * 24 * 3600;
    if (!(seconds > 0)) {
        return std::chrono::nanoseconds(0);
    }
    return std::chrono::nanoseconds(std::llround(std::min(seconds, year) * 1e9));
}

// The interval of a repeating timer: at least a millisecond, so a zero interval cannot spin;
// none for an interval that is not a number.
inline std::optional<std::chrono::nanoseconds> repeatingIntervalOf(double seconds) {
    if (std::isnan(seconds)) {
        return std::nullopt;
    }
    return std::max<std::chrono::nanoseconds>(delayOf(seconds), std::chrono::milliseconds(1));
}

} // namespace kvntime::detail
