#include "HandlerGate.h"
#include "kvntime/BasicTimer.h"
#include "kvntime/OneShotTimer.h"
#include "kvntime/RepeatingTimer.h"
#include "kvntime/TimerFactory.h"

namespace kvntime {
using detail::HandlerGate;

// GatedTimer

GatedTimer::GatedTimer(std::function<void()> eventHandler)
    : gate_(std::make_shared<HandlerGate>()) {
    gate_->setHandler(std::move(eventHandler));
}

GatedTimer::~GatedTimer() {
    scheduled_.cancel();
    gate_->close();
}

std::function<void()> GatedTimer::eventHandler() const {
    return gate_->handler();
}

void GatedTimer::setEventHandler(std::function<void()> handler) {
    gate_->setHandler(std::move(handler));
}

TimerState GatedTimer::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

void GatedTimer::suspend() {
    const std::lock_guard lock(mutex_);
    if (state_ != TimerState::resumed) {
        return;
    }
    state_ = TimerState::suspended;
    scheduled_.cancel();
    scheduled_ = {};
}

std::function<void()> GatedTimer::firing() const {
    return [weakGate = std::weak_ptr<HandlerGate>(gate_)] {
        if (const auto strongGate = weakGate.lock()) {
            strongGate->fire();
        }
    };
}

std::unique_ptr<TimerModel> TimerFactory::create(const TimerType& type) {
    return std::visit(
        [](const auto& parameters) -> std::unique_ptr<TimerModel> {
            using T = std::decay_t<decltype(parameters)>;
            if constexpr (std::is_same_v<T, Basic>) {
                return std::make_unique<BasicTimer>(parameters.timeInterval, parameters.leeway);
            } else if constexpr (std::is_same_v<T, OneShot>) {
                return std::make_unique<OneShotTimer>(parameters.timeInterval, parameters.qos);
            } else {
                return std::make_unique<RepeatingTimer>(parameters.timeInterval, parameters.qos,
                                                        parameters.leeway);
            }
        },
        type);
}

// BasicTimer

BasicTimer::BasicTimer(double timeInterval, int leeway, std::function<void()> eventHandler)
    : GatedTimer(std::move(eventHandler)), timeInterval_(timeInterval), leeway_(leeway) {}

void BasicTimer::resume() {
    const std::lock_guard lock(mutex_);
    if (state_ == TimerState::resumed) {
        return;
    }
    state_ = TimerState::resumed;
    scheduled_.cancel();
    scheduled_ = {};
    if (const auto interval = detail::repeatingIntervalOf(timeInterval_)) {
        scheduled_ = platform::DispatchQueue::main()->scheduleRepeating(
            *interval, *interval, std::chrono::milliseconds(std::max(leeway_, 0)), firing());
    }
}

// OneShotTimer

OneShotTimer::OneShotTimer(double timeInterval, platform::QualityOfService qos,
                           std::function<void()> eventHandler)
    : GatedTimer(std::move(eventHandler)), timeInterval_(timeInterval), qos_(qos),
      queue_(platform::DispatchQueue::makeSerial(queueLabel)) {}

void OneShotTimer::resume() {
    const std::lock_guard lock(mutex_);
    state_ = TimerState::resumed;
    auto handler = gate_->handler();
    if (!handler) {
        return;
    }
    scheduled_.cancel();
    scheduled_ = queue_->asyncAfter(
        detail::delayOf(timeInterval_),
        [weakGate = std::weak_ptr<HandlerGate>(gate_), handler = std::move(handler)] {
            if (const auto gate = weakGate.lock()) {
                gate->fire(handler);
            }
        });
}

void OneShotTimer::suspend() {
    const std::lock_guard lock(mutex_);
    state_ = TimerState::suspended;
    scheduled_.cancel();
    scheduled_ = {};
}

// RepeatingTimer

RepeatingTimer::RepeatingTimer(double timeInterval, platform::QualityOfService qos, int leeway,
                               std::function<void()> eventHandler)
    : GatedTimer(std::move(eventHandler)), timeInterval_(timeInterval), qos_(qos), leeway_(leeway),
      queue_(platform::DispatchQueue::makeSerial(queueLabel)) {}

void RepeatingTimer::resume() {
    const std::lock_guard lock(mutex_);
    if (state_ == TimerState::resumed) {
        return;
    }
    state_ = TimerState::resumed;
    const auto interval = detail::repeatingIntervalOf(timeInterval_);
    if (!interval) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!firstDeadline_) {
        firstDeadline_ = now + *interval;
    }
    auto next = *firstDeadline_;
    if (next < now) {
        next += *interval * ((now - next) / *interval + 1);
    }
    scheduled_ = queue_->scheduleRepeating(
        next - now, *interval, std::chrono::milliseconds(std::max(leeway_, 0)), firing());
}

} // namespace kvntime
