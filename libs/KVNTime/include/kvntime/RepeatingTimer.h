#pragma once

#include "kvntime/GatedTimer.h"
#include "kvntime/TimerFactory.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <platform/DispatchQueue.h>

namespace kvntime {

// A repeating timer on a private serial queue ("com.korvane.KVN.RepeatingTimer"). The schedule
// is set on the first `resume()`: the first tick one interval later, then one per interval.
// Suspending stops the ticks; resuming continues on the same schedule (ticks that fell due while
// suspended are not made up). Releasing it in any state is safe. Intervals below a millisecond
// are raised to one; intervals that are not numbers never tick.
class RepeatingTimer final : public GatedTimer {
public:
    static constexpr const char* queueLabel = "com.korvane.KVN.RepeatingTimer";

    explicit RepeatingTimer(
        double timeInterval,
        platform::QualityOfService qos = platform::QualityOfService::defaultClass, int leeway = 0,
        std::function<void()> eventHandler = {});

    double timeInterval() const override { return timeInterval_; }
    void resume() override;

    int leeway() const noexcept { return leeway_; }
    TimerFactory::TimerType timerType() const {
        return TimerFactory::Repeating{timeInterval_, qos_, leeway_};
    }
    const std::shared_ptr<platform::DispatchQueue>& queue() const noexcept { return queue_; }

private:
    double timeInterval_;
    platform::QualityOfService qos_;
    int leeway_;
    std::shared_ptr<platform::DispatchQueue> queue_;
    // The first deadline, set on first use; later resumes keep to its schedule.
    std::optional<std::chrono::steady_clock::time_point> firstDeadline_;
};

} // namespace kvntime
