#include "HandlerGate.h"
#include "kvntime/BasicTimer.h"
#include "kvntime/OneShotTimer.h"
#include "kvntime/RepeatingTimer.h"
#include "kvntime/TimerFactory.h"

namespace kvntime {
namespace {

using detail::HandlerGate;

std::function<void()> firing(const std::shared_ptr<HandlerGate>& gate) {
    return [weakGate = std::weak_ptr<HandlerGate>(gate)] {
        if (const auto strongGate = weakGate.lock()) {
            strongGate->fire();
        }
    };
}

std::shared_ptr<HandlerGate> gateWith(std::function<void()> handler) {
    auto gate = std::make_shared<HandlerGate>();
    gate->setHandler(std::move(handler));
    return gate;
}

} // namespace

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
    : gate_(gateWith(std::move(eventHandler))), timeInterval_(timeInterval), leeway_(leeway) {}

BasicTimer::~BasicTimer() {
    timer_.cancel();
    gate_->close();
}

std::function<void()> BasicTimer::eventHandler() const {
    return gate_->handler();
}

void BasicTimer::setEventHandler(std::function<void()> handler) {
    gate_->setHandler(std::move(handler));
}

TimerState BasicTimer::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

void BasicTimer::resume() {
    const std::lock_guard lock(mutex_);
    if (state_ == TimerState::resumed) {
        return;
    }
    state_ = TimerState::resumed;
    timer_.cancel();
    timer_ = {};
    if (const auto interval = detail::repeatingIntervalOf(timeInterval_)) {
        timer_ = platform::DispatchQueue::main()->scheduleRepeating(
            *interval, *interval, std::chrono::milliseconds(std::max(leeway_, 0)), firing(gate_));
    }
}

void BasicTimer::suspend() {
    const std::lock_guard lock(mutex_);
    if (state_ != TimerState::resumed) {
        return;
    }
    state_ = TimerState::suspended;
    timer_.cancel();
    timer_ = {};
}

// OneShotTimer

OneShotTimer::OneShotTimer(double timeInterval, platform::QualityOfService qos,
                           std::function<void()> eventHandler)
    : gate_(gateWith(std::move(eventHandler))), timeInterval_(timeInterval), qos_(qos),
      queue_(platform::DispatchQueue::makeSerial(queueLabel)) {}

OneShotTimer::~OneShotTimer() {
    pendingRequestWorkItem_.cancel();
    gate_->close();
}

std::function<void()> OneShotTimer::eventHandler() const {
    return gate_->handler();
}

void OneShotTimer::setEventHandler(std::function<void()> handler) {
    gate_->setHandler(std::move(handler));
}

TimerState OneShotTimer::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

void OneShotTimer::resume() {
    const std::lock_guard lock(mutex_);
    state_ = TimerState::resumed;
    auto handler = gate_->handler();
    if (!handler) {
        return;
    }
    pendingRequestWorkItem_.cancel();
    pendingRequestWorkItem_ = queue_->asyncAfter(
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
    pendingRequestWorkItem_.cancel();
    pendingRequestWorkItem_ = {};
}

// RepeatingTimer

RepeatingTimer::RepeatingTimer(double timeInterval, platform::QualityOfService qos, int leeway,
                               std::function<void()> eventHandler)
    : gate_(gateWith(std::move(eventHandler))), timeInterval_(timeInterval), qos_(qos),
      leeway_(leeway), queue_(platform::DispatchQueue::makeSerial(queueLabel)) {}

RepeatingTimer::~RepeatingTimer() {
    // Unlike a dispatch source, a cancelled schedule has no suspended state that must be undone.
    timer_.cancel();
    gate_->close();
}

std::function<void()> RepeatingTimer::eventHandler() const {
    return gate_->handler();
}

void RepeatingTimer::setEventHandler(std::function<void()> handler) {
    gate_->setHandler(std::move(handler));
}

TimerState RepeatingTimer::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

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
    timer_ = queue_->scheduleRepeating(
        next - now, *interval, std::chrono::milliseconds(std::max(leeway_, 0)), firing(gate_));
}

void RepeatingTimer::suspend() {
    const std::lock_guard lock(mutex_);
    if (state_ != TimerState::resumed) {
        return;
    }
    state_ = TimerState::suspended;
    timer_.cancel();
    timer_ = {};
}

} // namespace kvntime
