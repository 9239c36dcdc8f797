#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

// The display's refresh callback, as the platform's display links deliver it: once started, a
// background thread of its own calls the tick callback once per refresh period until stopped.
// Here the period comes from the refresh rate the application reports for its screen (Qt knows
// it), and is 60 Hz when nothing better is known.
//
// Ticks keep to the schedule set at start (no drift); a tick that falls due while the previous
// one still runs is skipped, as a display skips a frame. The tick callback runs on the clock's
// thread and must not start, stop or destroy its own clock. `start`, `stop` and the destructor
// may be called from any other thread; `stop` returns once no tick is running, so nothing ticks
// after it (or the destructor) returns.
class DisplayClock {
public:
    static constexpr double defaultRefreshRate = 60;

    // The refresh rate new clocks use. The application may set the screen's real rate; rates that
    // are not finite and greater than zero are ignored. Safe from any thread.
    static double displayRefreshRate() noexcept;
    static void setDisplayRefreshRate(double hertz) noexcept;

    // A clock at the display refresh rate.
    DisplayClock();
    // A clock at `hertz`; the display rate when `hertz` is not finite and greater than zero.
    explicit DisplayClock(double hertz);
    ~DisplayClock();
    DisplayClock(const DisplayClock&) = delete;
    DisplayClock& operator=(const DisplayClock&) = delete;

    // The refresh period the clock was made with.
    std::chrono::nanoseconds nominalPeriod() const noexcept { return period_; }

    // Set before `start`; a callback set while running takes effect from the next tick.
    void setCallback(std::function<void()> callback);

    // False when the clock's thread could not be started. Starting a running clock does nothing.
    bool start();
    void stop();
    bool isRunning() const;

private:
    void run(std::chrono::steady_clock::time_point firstTick);

    std::chrono::nanoseconds period_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> callback_;
    bool running_ = false;
    std::thread thread_;
};

} // namespace platform
