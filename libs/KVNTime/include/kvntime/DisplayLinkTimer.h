#pragma once

#include "kvntime/DisplayLink.h"
#include "kvntime/TimerModel.h"

#include <memory>
#include <mutex>
#include <platform/DispatchQueue.h>

namespace kvntime {

namespace detail {
class HandlerGate;
}

// A timer that ticks once per display refresh, calling its handler on the global queue of
// default quality of service (not the main thread). When the display link cannot be made, the
// error is logged and the timer never ticks; its interval is then 0.
class DisplayLinkTimer final : public TimerModel {
public:
    DisplayLinkTimer();
    // The same on another queue (a null queue gives the inert timer).
    explicit DisplayLinkTimer(std::shared_ptr<platform::DispatchQueue> queue);
    // Logs "* { DisplayLinkTimer }" at the debug level.
    ~DisplayLinkTimer() override;

    std::function<void()> eventHandler() const override;
    void setEventHandler(std::function<void()> handler) override;
    TimerState state() const override;
    double timeInterval() const override;
    void resume() override;
    void suspend() override;

    bool hasDisplayLink() const noexcept { return displayLink_ != nullptr; }

private:
    std::shared_ptr<detail::HandlerGate> gate_;
    mutable std::mutex mutex_;
    TimerState state_ = TimerState::suspended;
    std::unique_ptr<DisplayLink> displayLink_;
};

} // namespace kvntime
