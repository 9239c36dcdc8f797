#include "kvntime/TransportTimer.h"

#include "HandlerGate.h"
#include "kvntime/DisplayLinkTimer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <koltutils/Describe.h>
#include <koltutils/Log.h>
#include <mutex>
#include <platform/DispatchQueue.h>

namespace kvntime {
namespace {

constexpr std::int64_t ticksPerSecond = 1'000'000'000;
constexpr std::int64_t hostOffsetTicks =
    static_cast<std::int64_t>(TransportTimer::hostOffsetSeconds) * ticksPerSecond;

} // namespace

std::string_view TransportTimer::name(PlayState state) noexcept {
    switch (state) {
    case TransportTimer::PlayState::start:
        return "start";
    case TransportTimer::PlayState::stop:
        return "stop";
    case TransportTimer::PlayState::pause:
        return "pause";
    case TransportTimer::PlayState::resume:
        return "resume";
    }
    return "";
}

namespace {

// The start reference: host time h moved forward by the offset and back by p seconds. None when
// p is not a number or the reference leaves 64 bits.
std::optional<std::int64_t> startReference(std::uint64_t hostTime, double position) {
    const double positionTicks = std::round(position * ticksPerSecond);
    if (!std::isfinite(positionTicks) || std::fabs(positionTicks) >= 9.2e18 ||
        hostTime > static_cast<std::uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    std::int64_t reference = 0;
    if (__builtin_add_overflow(static_cast<std::int64_t>(hostTime), hostOffsetTicks, &reference) ||
        __builtin_sub_overflow(reference, static_cast<std::int64_t>(positionTicks), &reference)) {
        return std::nullopt;
    }
    return reference;
}

} // namespace

std::string TransportTimer::Event::description() const {
    if (kind == Kind::state) {
        return "state(" + std::string(name(playState)) + ")";
    }
    return "time(" + koltutils::describe(time) + ")";
}

std::uint64_t TransportTimer::currentHostTime() noexcept {
    const auto sinceZero = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(sinceZero).count());
}

struct TransportTimer::Core : std::enable_shared_from_this<Core> {
    explicit Core(std::unique_ptr<TimerModel> timer) : mainTimer(std::move(timer)) {}

    void send(const Event& event) {
        EventHandler handler;
        {
            const std::lock_guard lock(handlerMutex);
            handler = eventHandler;
        }
        if (handler) {
            // Through the gate, so that the destructor can wait for a tick's event in flight.
            events.fire([&] { handler(event); });
        }
    }

    double position() {
        const std::lock_guard lock(positionMutex);
        return positionValue;
    }
    void setPosition(double seconds) {
        const std::lock_guard lock(positionMutex);
        positionValue = seconds;
    }

    void start(std::optional<double> position, std::optional<std::uint64_t> hostTime) {
        if (mainTimer->state() == TimerState::resumed) {
            KOLT_LOG_ERROR("start(at:hostTime:)", "Transport is already playing");
            return;
        }
        const double from = position ? *position : this->position();
        const std::uint64_t at = hostTime ? *hostTime : currentHostTime();
        lastStoredHostTime = at;
        {
            const std::lock_guard lock(startMutex);
            startTime = startReference(at, from);
        }
        mainTimer->resume();
        send(Event::state(PlayState::start));
    }

    void updateTime() {
        std::int64_t now = 0;
        if (__builtin_add_overflow(static_cast<std::int64_t>(currentHostTime()), hostOffsetTicks,
                                   &now)) {
            return;
        }
        std::optional<std::int64_t> start;
        {
            const std::lock_guard lock(startMutex);
            start = startTime;
        }
        std::int64_t elapsed = 0;
        if (!start || __builtin_sub_overflow(now, *start, &elapsed)) {
            return;
        }
        const double seconds = static_cast<double>(elapsed) * secondsPerHostTick();
        setPosition(seconds);
        send(Event::timeEvent(seconds));
    }

    void stop() {
        if (mainTimer->state() == TimerState::resumed) {
            mainTimer->suspend();
            send(Event::state(PlayState::stop));
        }
    }

    void pause() {
        if (mainTimer->state() == TimerState::resumed) {
            stop();
            isPaused = true;
            send(Event::state(PlayState::pause));
        }
    }

    void resume(double interval) {
        if (!isPaused) {
            return;
        }
        if (interval > 0) {
            pauseTimer.cancel();
            const auto delay =
                std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(
                    std::min(std::max(interval, minimumResumeDelay), 365.0 * 24 * 3600)));
            pauseTimer =
                platform::DispatchQueue::main()->asyncAfter(delay, [weakSelf = weak_from_this()] {
                    if (const auto self = weakSelf.lock()) {
                        self->isPaused = false;
                        self->start(std::nullopt, std::nullopt);
                        self->send(Event::state(PlayState::resume));
                    }
                });
        } else {
            isPaused = false;
            send(Event::state(PlayState::resume));
        }
    }

    std::mutex handlerMutex;
    EventHandler eventHandler;
    detail::HandlerGate events;
    std::unique_ptr<TimerModel> mainTimer;
    platform::ScheduledWork pauseTimer;
    std::mutex startMutex;
    std::optional<std::int64_t> startTime;
    std::atomic<std::uint64_t> lastStoredHostTime{0};
    std::atomic<bool> isPaused{false};
    std::mutex positionMutex;
    double positionValue = 0;
};

TransportTimer::TransportTimer(EventHandler eventHandler)
    : TransportTimer(std::move(eventHandler), std::make_unique<DisplayLinkTimer>()) {}

TransportTimer::TransportTimer(EventHandler eventHandler, std::unique_ptr<TimerModel> mainTimer)
    : core_(std::make_shared<Core>(std::move(mainTimer))) {
    core_->eventHandler = std::move(eventHandler);
    core_->mainTimer->setEventHandler([weakCore = std::weak_ptr<Core>(core_)] {
        if (const auto core = weakCore.lock()) {
            core->updateTime();
        }
    });
}

TransportTimer::~TransportTimer() {
    core_->pauseTimer.cancel();
    core_->mainTimer->suspend();
    // A tick already on its way may still hold the core; it finds the gate closed.
    core_->events.close();
}

void TransportTimer::setEventHandler(EventHandler eventHandler) {
    const std::lock_guard lock(core_->handlerMutex);
    core_->eventHandler = std::move(eventHandler);
}

void TransportTimer::start(std::optional<double> position, std::optional<std::uint64_t> hostTime) {
    core_->start(position, hostTime);
}

void TransportTimer::updateTime() {
    core_->updateTime();
}

void TransportTimer::stop() {
    core_->stop();
}

void TransportTimer::pause() {
    core_->pause();
}

void TransportTimer::resume(double timeInterval) {
    core_->resume(timeInterval);
}

double TransportTimer::position() const {
    return core_->position();
}

void TransportTimer::setPosition(double seconds) {
    core_->setPosition(seconds);
}

bool TransportTimer::isPlaying() const {
    return core_->mainTimer->state() == TimerState::resumed;
}

bool TransportTimer::isPaused() const {
    return core_->isPaused;
}

std::uint64_t TransportTimer::lastStoredHostTime() const {
    return core_->lastStoredHostTime;
}

double TransportTimer::timeInterval() const {
    return core_->mainTimer->timeInterval();
}

} // namespace kvntime
