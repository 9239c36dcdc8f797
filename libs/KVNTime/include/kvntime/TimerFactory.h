#pragma once

#include "kvntime/TimerModel.h"

#include <memory>
#include <platform/DispatchQueue.h>
#include <timecode/TimecodeFrameRate.h>
#include <variant>

namespace kvntime {

// Makes the queue-based timers from a description of what is wanted.
struct TimerFactory {
    using State = TimerState;

    // A repeating timer on the main run loop; `leeway` in milliseconds.
    struct Basic {
        double timeInterval = 0;
        int leeway = 0;
        friend bool operator==(const Basic&, const Basic&) = default;
    };
    // One delayed call on a private serial queue.
    struct OneShot {
        double timeInterval = 0;
        platform::QualityOfService qos = platform::QualityOfService::defaultClass;
        friend bool operator==(const OneShot&, const OneShot&) = default;
    };
    // A repeating timer on a private serial queue; `leeway` in milliseconds.
    struct Repeating {
        double timeInterval = 0;
        platform::QualityOfService qos = platform::QualityOfService::defaultClass;
        int leeway = 0;
        friend bool operator==(const Repeating&, const Repeating&) = default;
    };
    using TimerType = std::variant<Basic, OneShot, Repeating>;

    // The frame durations of 60 and 30 frames per second, in seconds.
    static constexpr double fps60 =
        timecode::frameDurationInSeconds(timecode::TimecodeFrameRate::fps60);
    static constexpr double fps30 =
        timecode::frameDurationInSeconds(timecode::TimecodeFrameRate::fps30);

    // A suspended timer without an event handler.
    static std::unique_ptr<TimerModel> create(const TimerType& type);
};

} // namespace kvntime
