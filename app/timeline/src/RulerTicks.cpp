#include "timeline/RulerTicks.h"

#include "timeline/TimeText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <timecode/Timecode.h>

namespace velotrack::timeline {

namespace {

using timecode::CMTime;
using timecode::Timecode;

std::vector<RulerTick> realTimeTicks(const CMTime& start, double span, double interval,
                                     const std::optional<timecode::TimecodeFrameRate>& rate) {
    std::vector<RulerTick> ticks;
    for (std::int64_t tick = 0; static_cast<double>(tick) * interval <= span; ++tick) {
        const double at = static_cast<double>(tick) * interval;
        ticks.push_back({at, timeText(start + CMTime::make(std::llround(at), 1), rate)});
    }
    return ticks;
}

std::int64_t wholeSeconds(const Timecode::Components& components) {
    return ((components.days * 24 + components.hours) * 60 + components.minutes) * 60 +
           components.seconds;
}

Timecode::Components componentsAt(std::int64_t seconds) {
    return {.days = seconds / 86400,
            .hours = seconds / 3600 % 24,
            .minutes = seconds / 60 % 60,
            .seconds = seconds % 60};
}

// Empty when some mark has no valid timecode (past the day, or a start with no label).
std::vector<RulerTick> timecodeTicks(const CMTime& start, double span, std::int64_t step,
                                     timecode::TimecodeFrameRate rate) {
    const Timecode::Properties properties(rate);
    const Timecode first =
        Timecode::fromCMTime(start, properties, Timecode::ValidationRule::allowingInvalid);
    if (!first.isValid()) {
        return {};
    }
    const bool onASecond = first.components.frames == 0 && first.components.subFrames == 0;
    const std::int64_t firstSecond = wholeSeconds(first.components) + (onASecond ? 0 : 1);
    std::vector<RulerTick> ticks;
    for (std::int64_t second = (firstSecond + step - 1) / step * step;; second += step) {
        // A drop-frame minute's skipped labels come up to its first frame, 2 (or 4 at 59.94);
        // a second past the day would come back into it, which is no mark of this ruler.
        const Timecode mark = Timecode::fromComponents(
            componentsAt(second), properties, Timecode::ValidationRule::clampingComponents);
        if (!mark.isValid() || wholeSeconds(mark.components) != second) {
            return {};
        }
        const double at = finiteSeconds(mark.cmTimeValue() - start);
        if (at > span) {
            return ticks;
        }
        ticks.push_back({at, mark.stringValue()});
    }
}

} // namespace

std::vector<RulerTick> rulerTicks(const CMTime& start, double span, double interval,
                                  const std::optional<timecode::TimecodeFrameRate>& rate) {
    if (rate) {
        try {
            auto ticks = timecodeTicks(start, span,
                                       std::max<std::int64_t>(std::llround(interval), 1), *rate);
            if (!ticks.empty()) {
                return ticks;
            }
        } catch (const std::exception&) {
            // A start with no position, or beyond what a frame count holds: real time below.
        }
    }
    return realTimeTicks(start, span, interval, rate);
}

} // namespace velotrack::timeline
