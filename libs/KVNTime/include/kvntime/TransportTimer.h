#pragma once

#include "kvntime/TimerModel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kvntime {

// The transport clock: turns display-refresh ticks into a playback position in seconds.
//
// Positions are measured on the host clock, a monotonic nanosecond clock (one tick is one
// nanosecond). The start reference and the current time are both moved forward by ten hours of
// ticks, so that a start position of up to ten hours never needs a host time before the clock's
// zero. While playing, every tick sets position = start position + seconds since the start host
// time and reports it as `time(position)` on the tick thread (a global queue, not the main
// thread). State events are reported on the thread that caused them; the delayed resume fires
// on the main run loop.
//
// Threads: `position` (read and set) and `isPlaying` may be used from any thread while the clock
// ticks; the start time and the position are each behind a lock of their own. The controls
// (`start`, `stop`, `pause`, `resume`) come from one thread at a time, normally the main thread.
// After destruction no tick and no delayed resume reaches the handler.
class TransportTimer {
public:
    enum class PlayState : std::uint8_t { start, stop, pause, resume };
    // "start", "stop", "pause", "resume".
    static std::string_view name(PlayState state) noexcept;

    struct Event {
        enum class Kind : std::uint8_t { state, time };
        Kind kind = Kind::state;
        PlayState playState = PlayState::stop;
        double time = 0;

        static Event state(PlayState playState) { return {Kind::state, playState, 0}; }
        static Event timeEvent(double seconds) { return {Kind::time, PlayState::stop, seconds}; }
        // "state(start)", "time(12.5)".
        std::string description() const;
        friend bool operator==(const Event&, const Event&) = default;
    };
    using EventHandler = std::function<void(const Event&)>;

    static constexpr double hostOffsetSeconds = 36000;
    static constexpr double minimumResumeDelay = 0.1;

    // The host clock now, in ticks (nanoseconds).
    static std::uint64_t currentHostTime() noexcept;
    static double secondsPerHostTick() noexcept { return 1e-9; }

    // Ticks from a new display-link timer.
    explicit TransportTimer(EventHandler eventHandler = {});
    // Ticks from the given timer (its event handler is replaced).
    TransportTimer(EventHandler eventHandler, std::unique_ptr<TimerModel> mainTimer);
    ~TransportTimer();
    TransportTimer(const TransportTimer&) = delete;
    TransportTimer& operator=(const TransportTimer&) = delete;

    void setEventHandler(EventHandler eventHandler);

    // Plays from `position` (the current position when absent) as of `hostTime` (now when
    // absent). A playing transport logs "Transport is already playing" and does nothing else.
    void start(std::optional<double> position = std::nullopt,
               std::optional<std::uint64_t> hostTime = std::nullopt);
    // Called on every tick.
    void updateTime();
    void stop();
    // From playing: stop (which sends state(stop)), then paused, then state(pause).
    void pause();
    // Only while paused. Above 0: after max(interval, 0.1) seconds, on the main run loop, plays
    // on from the stored position and sends state(resume). At 0 or below: leaves the pause and
    // sends state(resume) at once, without playing.
    void resume(double timeInterval);

    double position() const;
    void setPosition(double seconds);
    bool isPlaying() const;
    bool isPaused() const;
    std::uint64_t lastStoredHostTime() const;
    double timeInterval() const;
    double fps() const { return 1.0 / timeInterval(); }

    struct Core;

private:
    std::shared_ptr<Core> core_;
};

} // namespace kvntime
