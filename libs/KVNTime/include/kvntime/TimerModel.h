#pragma once

#include <cstdint>
#include <functional>

namespace kvntime {

// Whether a timer is ticking. Every timer starts suspended.
enum class TimerState : std::uint8_t { suspended, resumed };

// The one interface of the module's timers. A timer calls its event handler on its own queue
// (each timer's header says which), never after the timer has been destroyed: destruction stops
// the clock, and waits for a handler call running on another thread to finish. Methods are safe
// to call from any thread, but not from inside the timer's own handler for a destruction.
class TimerModel {
public:
    virtual ~TimerModel() = default;

    virtual std::function<void()> eventHandler() const = 0;
    virtual void setEventHandler(std::function<void()> handler) = 0;
    virtual TimerState state() const = 0;
    // Seconds between ticks.
    virtual double timeInterval() const = 0;
    // Each is a no-op when the timer already is in the state asked for, unless the timer's
    // header says otherwise.
    virtual void resume() = 0;
    virtual void suspend() = 0;

    double fps() const { return 1.0 / timeInterval(); }

protected:
    TimerModel() = default;
    TimerModel(const TimerModel&) = delete;
    TimerModel& operator=(const TimerModel&) = delete;
};

} // namespace kvntime
