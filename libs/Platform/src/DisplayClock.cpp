#include "platform/DisplayClock.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace platform {
namespace {

std::atomic<double> refreshRate{DisplayClock::defaultRefreshRate};

bool isUsableRate(double hertz) {
    return std::isfinite(hertz) && hertz > 0;
}

std::chrono::nanoseconds periodOf(double hertz) {
    // Rates so high that the period rounds to nothing tick as fast as a nanosecond clock can.
    const auto nanoseconds = static_cast<std::int64_t>(std::llround(1e9 / hertz));
    return std::chrono::nanoseconds(nanoseconds > 0 ? nanoseconds : 1);
}

} // namespace

double DisplayClock::displayRefreshRate() noexcept {
    return refreshRate.load();
}

void DisplayClock::setDisplayRefreshRate(double hertz) noexcept {
    if (isUsableRate(hertz)) {
        refreshRate.store(hertz);
    }
}

DisplayClock::DisplayClock() : DisplayClock(displayRefreshRate()) {}

DisplayClock::DisplayClock(double hertz)
    : period_(periodOf(isUsableRate(hertz) ? hertz : displayRefreshRate())) {}

DisplayClock::~DisplayClock() {
    stop();
}

void DisplayClock::setCallback(std::function<void()> callback) {
    const std::lock_guard lock(mutex_);
    callback_ = std::move(callback);
}

bool DisplayClock::start() {
    const std::lock_guard lock(mutex_);
    if (running_) {
        return true;
    }
    running_ = true;
    try {
        thread_ =
            std::thread([this, first = std::chrono::steady_clock::now() + period_] { run(first); });
    } catch (const std::system_error&) {
        running_ = false;
        return false;
    }
    return true;
}

void DisplayClock::stop() {
    std::thread finished;
    {
        const std::lock_guard lock(mutex_);
        running_ = false;
        finished = std::move(thread_);
    }
    wake_.notify_all();
    if (finished.joinable()) {
        finished.join();
    }
}

bool DisplayClock::isRunning() const {
    const std::lock_guard lock(mutex_);
    return running_;
}

void DisplayClock::run(std::chrono::steady_clock::time_point firstTick) {
    auto next = firstTick;
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait_until(lock, next, [this] { return !running_; });
        if (!running_) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now < next) {
            continue; // woken early
        }
        const std::function<void()> callback = callback_;
        lock.unlock();
        if (callback) {
            callback();
        }
        lock.lock();
        // The next refresh after now on the schedule: late ticks are skipped, not bunched.
        const auto late = std::chrono::steady_clock::now() - next;
        next += period_ * (late / period_ + 1);
    }
}

} // namespace platform
