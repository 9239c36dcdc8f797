#include "kvntime/MusicalMeasure.h"

#include <cmath>

namespace kvntime {

MusicalMeasure::MusicalMeasure(double time) {
    updateFrom(time);
}

void MusicalMeasure::setTempo(double tempo) noexcept {
    tempo_ = tempo;
    barsPerSecond_ = tempo / 60.0 / timeSignature_.numerator;
}

void MusicalMeasure::updateFrom(double time) noexcept {
    const double fractionalBar = barsPerSecond_ * time;
    // 2^62 keeps bar + 1 and the casts below inside 64 bits; beyond it there is no bar number.
    constexpr double largestBar = 4611686018427387904.0;
    if (!(time >= 0) || !(fractionalBar >= 0) || fractionalBar >= largestBar) {
        bar_ = beat_ = subdivision_ = 0;
        fractionalBar_ = fractionalBeat_ = 0;
        return;
    }
    fractionalBar_ = fractionalBar;
    const double wholeBars = std::trunc(fractionalBar);
    bar_ = static_cast<std::int64_t>(wholeBars) + 1;
    fractionalBeat_ = (fractionalBar - wholeBars) * timeSignature_.numerator;
    const double wholeBeats = std::trunc(fractionalBeat_);
    beat_ = static_cast<std::int64_t>(wholeBeats) + 1;
    subdivision_ = static_cast<std::int64_t>(std::trunc((fractionalBeat_ - wholeBeats) * 4)) + 1;
}

std::string MusicalMeasure::stringValue() const {
    return std::to_string(bar_) + " " + std::to_string(beat_) + " " + std::to_string(subdivision_);
}

} // namespace kvntime
