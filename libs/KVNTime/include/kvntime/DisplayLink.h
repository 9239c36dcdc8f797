#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <platform/DispatchQueue.h>

namespace platform {
class DisplayClock;
}

namespace kvntime {

namespace detail {
class DisplayDelivery;
}

// The display's refresh callback delivered on a dispatch queue: each refresh of the display
// clock (platform::DisplayClock, 60 Hz unless the application reports its screen's rate) asks
// for one call of `callback` on the queue. Refreshes that arrive while a call is still waiting
// or running are merged into one further call, so calls never overlap and never pile up.
//
// Creation throws koltutils::DescribedError with one of the three messages below. The display
// clock needs no display here, so only a missing queue can fail ("Failed to create timer");
// the other two messages remain for the platforms that bind to a physical display.
class DisplayLink {
public:
    static constexpr const char* failedToCreate = "Failed to create timer";
    static constexpr const char* failedWithActiveDisplay =
        "Failed to create timer with active display";
    static constexpr const char* failedToConnect = "Failed to connect to display";

    explicit DisplayLink(std::shared_ptr<platform::DispatchQueue> queue);
    // Logs "* { DisplayLink }" at the debug level and cancels.
    ~DisplayLink();
    DisplayLink(const DisplayLink&) = delete;
    DisplayLink& operator=(const DisplayLink&) = delete;

    void setCallback(std::function<void()> callback);

    // Starts the refreshes unless running; a clock that cannot start logs "Failed to start
    // timer" at the error level and leaves the link stopped.
    void start();
    // Stops the refreshes if running; a call not yet begun is dropped.
    void suspend();
    // As suspend, and for good: the callback is never called again.
    void cancel();
    bool isRunning() const;

    // The display's nominal refresh period, in seconds.
    double timeInterval() const noexcept;

private:
    std::shared_ptr<detail::DisplayDelivery> delivery_;
    std::unique_ptr<platform::DisplayClock> clock_;
    mutable std::mutex mutex_;
    bool running_ = false;
};

} // namespace kvntime
