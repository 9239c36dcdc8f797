#pragma once

#include "kvntime/TimerModel.h"

#include <functional>
#include <memory>
#include <mutex>
#include <platform/DispatchQueue.h>

namespace kvntime {

namespace detail {
class HandlerGate;
}

// What the queue-driven timers share: the event handler behind a gate that closes when the timer
// goes (so no call starts after it and a running one is waited for), and the timer's state and
// scheduled ticks behind one lock. Suspending stops the scheduled ticks; a timer whose suspension
// means something else overrides it.
class GatedTimer : public TimerModel {
public:
    ~GatedTimer() override;

    std::function<void()> eventHandler() const final;
    void setEventHandler(std::function<void()> handler) final;
    TimerState state() const final;
    void suspend() override;

protected:
    explicit GatedTimer(std::function<void()> eventHandler);

    // A closure for a queue: fires the gate while the timer exists, and does nothing after.
    std::function<void()> firing() const;

    std::shared_ptr<detail::HandlerGate> gate_;
    mutable std::mutex mutex_;
    TimerState state_ = TimerState::suspended;
    platform::ScheduledWork scheduled_;
};

} // namespace kvntime
