#include "kvntime/DisplayLink.h"

#include "HandlerGate.h"
#include "kvntime/DisplayLinkTimer.h"

#include <koltutils/DescribedError.h>
#include <koltutils/Log.h>
#include <platform/DisplayClock.h>

namespace kvntime {
namespace detail {

// What a dispatch source that adds data does for the display link: refreshes coming from the
// clock's thread become calls on the queue, at most one waiting and one running at a time.
class DisplayDelivery : public std::enable_shared_from_this<DisplayDelivery> {
public:
    explicit DisplayDelivery(std::shared_ptr<platform::DispatchQueue> queue)
        : queue_(std::move(queue)) {}

    HandlerGate& gate() { return gate_; }

    void setActive(bool active) {
        const std::lock_guard lock(mutex_);
        active_ = active;
    }

    // On the clock's thread.
    void refresh() {
        {
            const std::lock_guard lock(mutex_);
            if (!active_) {
                return;
            }
            if (scheduled_) {
                again_ = true;
                return;
            }
            scheduled_ = true;
        }
        post();
    }

private:
    void post() {
        queue_->async([weakSelf = weak_from_this()] {
            if (const auto self = weakSelf.lock()) {
                self->deliver();
            }
        });
    }

    void deliver() {
        bool active = false;
        {
            const std::lock_guard lock(mutex_);
            active = active_;
        }
        if (active) {
            gate_.fire();
        }
        {
            const std::lock_guard lock(mutex_);
            if (!(again_ && active_)) {
                scheduled_ = false;
                again_ = false;
                return;
            }
            again_ = false;
        }
        post();
    }

    std::shared_ptr<platform::DispatchQueue> queue_;
    HandlerGate gate_;
    std::mutex mutex_;
    bool active_ = false;
    bool scheduled_ = false;
    bool again_ = false;
};

} // namespace detail

DisplayLink::DisplayLink(std::shared_ptr<platform::DispatchQueue> queue) {
    if (!queue) {
        throw koltutils::DescribedError(failedToCreate);
    }
    delivery_ = std::make_shared<detail::DisplayDelivery>(std::move(queue));
    clock_ = std::make_unique<platform::DisplayClock>();
    clock_->setCallback([delivery = delivery_.get()] { delivery->refresh(); });
}

DisplayLink::~DisplayLink() {
    KOLT_LOG_DEBUG("deinit", "* { DisplayLink }");
    // A dispatch source is resumed again before its release; the clock has no such state, so
    // cancelling is all it needs.
    cancel();
    // The clock is stopped and joined before the delivery it points at goes away.
    clock_.reset();
}

void DisplayLink::setCallback(std::function<void()> callback) {
    delivery_->gate().setHandler(std::move(callback));
}

void DisplayLink::start() {
    const std::lock_guard lock(mutex_);
    if (running_) {
        return;
    }
    delivery_->setActive(true);
    if (!clock_->start()) {
        delivery_->setActive(false);
        KOLT_LOG_ERROR("start()", "Failed to start timer");
        return;
    }
    running_ = true;
}

void DisplayLink::suspend() {
    const std::lock_guard lock(mutex_);
    if (!running_) {
        return;
    }
    clock_->stop();
    delivery_->setActive(false);
    running_ = false;
}

void DisplayLink::cancel() {
    {
        const std::lock_guard lock(mutex_);
        if (running_) {
            clock_->stop();
            running_ = false;
        }
        delivery_->setActive(false);
    }
    delivery_->gate().close();
}

bool DisplayLink::isRunning() const {
    const std::lock_guard lock(mutex_);
    return running_;
}

double DisplayLink::timeInterval() const noexcept {
    return std::chrono::duration<double>(clock_->nominalPeriod()).count();
}

// DisplayLinkTimer

DisplayLinkTimer::DisplayLinkTimer()
    : DisplayLinkTimer(platform::DispatchQueue::global(platform::QualityOfService::defaultClass)) {}

DisplayLinkTimer::DisplayLinkTimer(std::shared_ptr<platform::DispatchQueue> queue)
    : gate_(std::make_shared<detail::HandlerGate>()) {
    try {
        displayLink_ = std::make_unique<DisplayLink>(std::move(queue));
        displayLink_->setCallback([weakGate = std::weak_ptr<detail::HandlerGate>(gate_)] {
            if (const auto gate = weakGate.lock()) {
                gate->fire();
            }
        });
    } catch (const koltutils::DescribedError& error) {
        KOLT_LOG_ERROR("init()", error.what());
    }
}

DisplayLinkTimer::~DisplayLinkTimer() {
    KOLT_LOG_DEBUG("deinit", "* { DisplayLinkTimer }");
    displayLink_.reset();
    gate_->close();
}

std::function<void()> DisplayLinkTimer::eventHandler() const {
    return gate_->handler();
}

void DisplayLinkTimer::setEventHandler(std::function<void()> handler) {
    gate_->setHandler(std::move(handler));
}

TimerState DisplayLinkTimer::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

double DisplayLinkTimer::timeInterval() const {
    return displayLink_ ? displayLink_->timeInterval() : 0;
}

void DisplayLinkTimer::resume() {
    const std::lock_guard lock(mutex_);
    if (state_ == TimerState::resumed) {
        return;
    }
    if (displayLink_) {
        displayLink_->start();
    }
    state_ = TimerState::resumed;
}

void DisplayLinkTimer::suspend() {
    const std::lock_guard lock(mutex_);
    if (state_ != TimerState::resumed) {
        return;
    }
    if (displayLink_) {
        displayLink_->suspend();
    }
    state_ = TimerState::suspended;
}

} // namespace kvntime
