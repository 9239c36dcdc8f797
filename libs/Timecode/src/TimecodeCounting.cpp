#include "TimecodeCounting.h"

#include <algorithm>

namespace timecode::detail {

namespace {

constexpr std::int64_t secondsPerMinute = 60;
constexpr std::int64_t minutesPerHour = 60;
constexpr std::int64_t hoursPerDay = 24;
constexpr std::int64_t minutesPerDropCycle = 10; // every tenth minute keeps all its labels

struct Range {
    std::int64_t lowest;
    std::int64_t highest;
};

Range validRange(TimecodeComponent component, const TimecodeProperties& properties,
                 const RateCounting& counting) {
    switch (component) {
    case TimecodeComponent::days:
        return {0, maxDays(properties.upperLimit)};
    case TimecodeComponent::hours:
        return {0, hoursPerDay - 1};
    case TimecodeComponent::minutes:
        return {0, minutesPerHour - 1};
    case TimecodeComponent::seconds:
        return {0, secondsPerMinute - 1};
    case TimecodeComponent::frames:
        return {0, counting.labelsPerSecond - 1};
    case TimecodeComponent::subFrames:
        break;
    }
    return {0, maxSubFrame(properties.subFramesBase)};
}

// At a drop rate the first labels of every minute that is not a multiple of ten do not exist.
bool isSkippedDropLabel(const TimecodeComponents& components, const RateCounting& counting) {
    return counting.isDrop && components.minutes % minutesPerDropCycle != 0 &&
           components.seconds == 0 && components.frames >= 0 &&
           components.frames < counting.droppedPerMinute;
}

unsigned bitOf(TimecodeComponent component) {
    return 1u << static_cast<unsigned>(component);
}

} // namespace

TimecodeWideInt framesInSpan(const TimecodeProperties& properties) {
    return TimecodeWideInt{countingOf(properties.frameRate).framesPer24Hours} *
           spanInDays(properties.upperLimit);
}

TimecodeWideInt wholeFramesOf(const TimecodeComponents& components, const RateCounting& counting) {
    const TimecodeWideInt totalMinutes =
        (TimecodeWideInt{components.days} * hoursPerDay + components.hours) * minutesPerHour +
        components.minutes;
    const TimecodeWideInt label =
        (totalMinutes * secondsPerMinute + components.seconds) * counting.labelsPerSecond +
        components.frames;
    if (!counting.isDrop) {
        return label;
    }
    const TimecodeWideInt droppingMinutes = totalMinutes - totalMinutes / minutesPerDropCycle;
    return label - counting.droppedPerMinute * droppingMinutes;
}

TimecodeComponents componentsOf(TimecodeWideInt wholeFrames, std::int64_t subFrames,
                                const RateCounting& counting) {
    TimecodeWideInt label = wholeFrames;
    if (counting.isDrop) {
        // The published SMPTE count: 9·D labels skipped per full ten minutes, then D per started
        // minute after the first of the remaining block.
        const std::int64_t dropped = counting.droppedPerMinute;
        const std::int64_t framesPerMinute = counting.labelsPerSecond * secondsPerMinute - dropped;
        const std::int64_t framesPerTenMinutes =
            counting.labelsPerSecond * secondsPerMinute * minutesPerDropCycle -
            (minutesPerDropCycle - 1) * dropped;
        const TimecodeWideInt blocks = wholeFrames / framesPerTenMinutes;
        const TimecodeWideInt rest = wholeFrames % framesPerTenMinutes;
        label += (minutesPerDropCycle - 1) * dropped * blocks;
        if (rest > dropped) {
            label += dropped * ((rest - dropped) / framesPerMinute);
        }
    }
    const TimecodeWideInt totalSeconds = label / counting.labelsPerSecond;
    const TimecodeWideInt totalMinutes = totalSeconds / secondsPerMinute;
    const TimecodeWideInt totalHours = totalMinutes / minutesPerHour;
    return TimecodeComponents{
        .days = narrowOrThrow(totalHours / hoursPerDay),
        .hours = static_cast<std::int64_t>(totalHours % hoursPerDay),
        .minutes = static_cast<std::int64_t>(totalMinutes % minutesPerHour),
        .seconds = static_cast<std::int64_t>(totalSeconds % secondsPerMinute),
        .frames = static_cast<std::int64_t>(label % counting.labelsPerSecond),
        .subFrames = subFrames,
    };
}

unsigned invalidComponentMask(const TimecodeComponents& components,
                              const TimecodeProperties& properties, const RateCounting& counting) {
    unsigned mask = 0;
    for (const auto component : koltutils::allCases<TimecodeComponent>()) {
        const Range range = validRange(component, properties, counting);
        const std::int64_t value = components[component];
        if (value < range.lowest || value > range.highest) {
            mask |= bitOf(component);
        }
    }
    if (isSkippedDropLabel(components, counting)) {
        mask |= bitOf(TimecodeComponent::frames);
    }
    return mask;
}

TimecodeComponents clampedComponents(const TimecodeComponents& components,
                                     const TimecodeProperties& properties,
                                     const RateCounting& counting) {
    TimecodeComponents clamped = components;
    for (const auto component : koltutils::allCases<TimecodeComponent>()) {
        const Range range = validRange(component, properties, counting);
        clamped[component] = std::clamp(clamped[component], range.lowest, range.highest);
    }
    if (isSkippedDropLabel(clamped, counting)) {
        clamped.frames = counting.droppedPerMinute;
    }
    return clamped;
}

} // namespace timecode::detail
