#pragma once

#include "kvntime/RulerSnapType.h"
#include "kvntime/TimeSignature.h"

namespace kvntime {

// The pixel widths of a musical grid at one zoom level.
struct VisualMusicalMeasure {
    double pixelsPerSubdivision = 0;
    double pixelsPerBeat = 0;
    double pixelsPerBar = 0;

    // The grid of `tempo` beats per minute drawn at `pixelsPerSecond`: a subdivision is
    // pixelsPerSecond ÷ (tempo ÷ 60) ÷ numerator wide, a beat four subdivisions, a bar numerator
    // beats. (So at 4/4 a beat is pixelsPerSecond × 60 ÷ tempo; other numerators scale it by
    // 4 ÷ numerator, as the system draws it.) Throws koltutils::DescribedError "tempo must be
    // greater than zero" for a tempo that is not greater than zero (or not a number).
    static VisualMusicalMeasure make(double pixelsPerSecond, double tempo,
                                     const TimeSignature& timeSignature);

    // Pixels per snap unit: the bar, beat or subdivision width; 1.0 for the other snap types.
    double snapDivision(RulerSnapType snapType) const noexcept;

    friend bool operator==(const VisualMusicalMeasure&, const VisualMusicalMeasure&) = default;
};

} // namespace kvntime
