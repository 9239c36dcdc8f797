#pragma once

#include "kvntime/TimeSignature.h"
#include "kvntime/VisualMusicalMeasure.h"

#include <optional>

namespace kvntime {

// The musical grid at a zoom level: pixels per second, an optional tempo, the time signature and
// the grid measure computed from them.
//
// Tempos are clamped to 1...1024 beats per minute (a tempo that is not a number counts as
// absent); pixels per second are taken only when finite and greater than zero.
class VisualMusicalTime {
public:
    static constexpr double defaultPixelsPerSecond = 30;
    static constexpr double minimumTempo = 1;
    static constexpr double maximumTempo = 1024;

    // 30 pixels per second, no tempo, 4/4, no measure.
    VisualMusicalTime() = default;
    // Pixels per second falls back to 30 when unusable; a tempo is clamped and the measure
    // computed; without a tempo there is no measure.
    VisualMusicalTime(double pixelsPerSecond, std::optional<double> tempo,
                      const TimeSignature& timeSignature = {});

    double pixelsPerSecond() const noexcept { return pixelsPerSecond_; }
    // Ignored unless finite and greater than zero; recomputes the measure when a tempo is set.
    void setPixelsPerSecond(double pixelsPerSecond);

    std::optional<double> tempo() const noexcept { return tempo_; }
    // A value is clamped, stored and the measure recomputed; absent is stored and the last
    // measure kept.
    void setTempo(std::optional<double> tempo);

    const TimeSignature& timeSignature() const noexcept { return timeSignature_; }
    void setTimeSignature(const TimeSignature& timeSignature);

    const std::optional<VisualMusicalMeasure>& visualMeasure() const noexcept {
        return visualMeasure_;
    }

    // Restores a stored state as it was kept, without recomputing anything.
    static VisualMusicalTime restored(double pixelsPerSecond, std::optional<double> tempo,
                                      const TimeSignature& timeSignature,
                                      std::optional<VisualMusicalMeasure> visualMeasure);

    static double clampedTempo(double tempo) noexcept;

    friend bool operator==(const VisualMusicalTime&, const VisualMusicalTime&) = default;

private:
    void recomputeMeasure();

    double pixelsPerSecond_ = defaultPixelsPerSecond;
    std::optional<double> tempo_;
    TimeSignature timeSignature_;
    std::optional<VisualMusicalMeasure> visualMeasure_;
};

} // namespace kvntime
