#pragma once

#include "kvntime/TimerFactory.h"
#include "kvntime/TimerModel.h"

#include <memory>
#include <mutex>
#include <platform/DispatchQueue.h>

namespace kvntime {

namespace detail {
class HandlerGate;
}

// A repeating timer on the main run loop (the application's interface thread, or whoever runs
// platform::RunLoop in a headless program). `leeway` (milliseconds) is how late a tick may come.
// Intervals below a millisecond are raised to one; intervals that are not numbers never tick.
class BasicTimer final : public TimerModel {
public:
    explicit BasicTimer(double timeInterval, int leeway = 0,
                        std::function<void()> eventHandler = {});
    ~BasicTimer() override;

    std::function<void()> eventHandler() const override;
    void setEventHandler(std::function<void()> handler) override;
    TimerState state() const override;
    double timeInterval() const override { return timeInterval_; }
    void resume() override;
    void suspend() override;

    int leeway() const noexcept { return leeway_; }
    TimerFactory::TimerType timerType() const {
        return TimerFactory::Basic{timeInterval_, leeway_};
    }

private:
    std::shared_ptr<detail::HandlerGate> gate_;
    double timeInterval_;
    int leeway_;
    mutable std::mutex mutex_;
    TimerState state_ = TimerState::suspended;
    platform::ScheduledWork timer_;
};

} // namespace kvntime
