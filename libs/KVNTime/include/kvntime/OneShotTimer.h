#pragma once

#include "kvntime/GatedTimer.h"
#include "kvntime/TimerFactory.h"

#include <memory>
#include <mutex>
#include <platform/DispatchQueue.h>

namespace kvntime {

// One delayed call of the handler on a private serial queue ("com.korvane.KVN.OneShotTimer").
// Every `resume()` restarts the delay, even when already resumed, so two resumes fire once,
// after the second one's delay; the handler is the one set when `resume()` was called, and
// without one nothing is scheduled. The timer stays `resumed` after firing.
class OneShotTimer final : public GatedTimer {
public:
    static constexpr const char* queueLabel = "com.korvane.KVN.OneShotTimer";

    explicit OneShotTimer(double timeInterval,
                          platform::QualityOfService qos = platform::QualityOfService::defaultClass,
                          std::function<void()> eventHandler = {});

    double timeInterval() const override { return timeInterval_; }
    void resume() override;
    void suspend() override;

    TimerFactory::TimerType timerType() const { return TimerFactory::OneShot{timeInterval_, qos_}; }
    const std::shared_ptr<platform::DispatchQueue>& queue() const noexcept { return queue_; }

private:
    double timeInterval_;
    platform::QualityOfService qos_;
    std::shared_ptr<platform::DispatchQueue> queue_;
};

} // namespace kvntime
