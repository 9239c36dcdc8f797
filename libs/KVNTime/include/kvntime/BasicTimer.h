#pragma once

#include "kvntime/GatedTimer.h"
#include "kvntime/TimerFactory.h"

#include <memory>
#include <mutex>
#include <platform/DispatchQueue.h>

namespace kvntime {

// A repeating timer on the main run loop (the application's interface thread, or whoever runs
// platform::RunLoop in a headless program). `leeway` (milliseconds) is how late a tick may come.
// Intervals below a millisecond are raised to one; intervals that are not numbers never tick.
class BasicTimer final : public GatedTimer {
public:
    explicit BasicTimer(double timeInterval, int leeway = 0,
                        std::function<void()> eventHandler = {});

    double timeInterval() const override { return timeInterval_; }
    void resume() override;

    int leeway() const noexcept { return leeway_; }
    TimerFactory::TimerType timerType() const {
        return TimerFactory::Basic{timeInterval_, leeway_};
    }

private:
    double timeInterval_;
    int leeway_;
};

} // namespace kvntime
