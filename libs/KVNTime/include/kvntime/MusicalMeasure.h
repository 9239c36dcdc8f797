#pragma once

#include "kvntime/TimeSignature.h"

#include <cstdint>
#include <string>

namespace kvntime {

// A position in musical terms: bar, beat within the bar and quarter of the beat, all 1-based,
// at a tempo (beats per minute) and a time signature.
//
// `barsPerSecond` (tempo ÷ 60 ÷ numerator) is recomputed only when the tempo is set, as the
// system does: set the time signature first, then the tempo, for it to reflect both.
class MusicalMeasure {
public:
    // Tempo 120, 4/4, then updated from `time` seconds.
    explicit MusicalMeasure(double time = 0);

    double tempo() const noexcept { return tempo_; }
    void setTempo(double tempo) noexcept;
    const TimeSignature& timeSignature() const noexcept { return timeSignature_; }
    void setTimeSignature(const TimeSignature& signature) noexcept { timeSignature_ = signature; }

    double barsPerSecond() const noexcept { return barsPerSecond_; }
    std::int64_t bar() const noexcept { return bar_; }
    std::int64_t beat() const noexcept { return beat_; }
    std::int64_t subdivision() const noexcept { return subdivision_; }
    // Bars elapsed since time 0.
    double fractionalBar() const noexcept { return fractionalBar_; }
    // Beats elapsed within the current bar.
    double fractionalBeat() const noexcept { return fractionalBeat_; }

    // The position at `time` seconds; a negative or non-numeric time reads 0 0 0. Positions too
    // far out for a 64-bit bar number read 0 0 0 as well.
    void updateFrom(double time) noexcept;

    double beatsInSecond() const noexcept { return tempo_ / 60.0; }
    // "2 1 2".
    std::string stringValue() const;

    friend bool operator==(const MusicalMeasure&, const MusicalMeasure&) = default;

private:
    double tempo_ = 120;
    TimeSignature timeSignature_;
    double barsPerSecond_ = 0.5;
    std::int64_t bar_ = 1;
    std::int64_t beat_ = 1;
    std::int64_t subdivision_ = 1;
    double fractionalBar_ = 0;
    double fractionalBeat_ = 0;
};

} // namespace kvntime
