#include "kvntime/VisualMusicalTime.h"

#include <algorithm>
#include <cmath>
#include <koltutils/DescribedError.h>

namespace kvntime {

VisualMusicalMeasure VisualMusicalMeasure::make(double pixelsPerSecond, double tempo,
                                                const TimeSignature& timeSignature) {
    if (!(tempo > 0)) {
        throw koltutils::DescribedError("tempo must be greater than zero");
    }
    VisualMusicalMeasure measure;
    measure.pixelsPerSubdivision = pixelsPerSecond / (tempo / 60.0) / timeSignature.numerator;
    measure.pixelsPerBeat = measure.pixelsPerSubdivision * 4;
    measure.pixelsPerBar = measure.pixelsPerBeat * timeSignature.numerator;
    return measure;
}

double VisualMusicalMeasure::snapDivision(RulerSnapType snapType) const noexcept {
    switch (snapType) {
    case RulerSnapType::bar:
        return pixelsPerBar;
    case RulerSnapType::beat:
        return pixelsPerBeat;
    case RulerSnapType::subdivision:
        return pixelsPerSubdivision;
    case RulerSnapType::none:
    case RulerSnapType::frame:
    case RulerSnapType::magnetic:
        break;
    }
    return 1.0;
}

namespace {

bool isUsablePixelsPerSecond(double pixelsPerSecond) {
    return std::isfinite(pixelsPerSecond) && pixelsPerSecond > 0;
}

} // namespace

VisualMusicalTime::VisualMusicalTime(double pixelsPerSecond, std::optional<double> tempo,
                                     const TimeSignature& timeSignature)
    : pixelsPerSecond_(isUsablePixelsPerSecond(pixelsPerSecond) ? pixelsPerSecond
                                                                : defaultPixelsPerSecond),
      timeSignature_(timeSignature) {
    if (tempo && !std::isnan(*tempo)) {
        tempo_ = clampedTempo(*tempo);
        recomputeMeasure();
    }
}

double VisualMusicalTime::clampedTempo(double tempo) noexcept {
    return std::clamp(tempo, minimumTempo, maximumTempo);
}

void VisualMusicalTime::setPixelsPerSecond(double pixelsPerSecond) {
    if (!isUsablePixelsPerSecond(pixelsPerSecond)) {
        return;
    }
    pixelsPerSecond_ = pixelsPerSecond;
    recomputeMeasure();
}

void VisualMusicalTime::setTempo(std::optional<double> tempo) {
    if (!tempo || std::isnan(*tempo)) {
        // The last grid stays drawn until a tempo comes back.
        tempo_.reset();
        return;
    }
    tempo_ = clampedTempo(*tempo);
    recomputeMeasure();
}

void VisualMusicalTime::setTimeSignature(const TimeSignature& timeSignature) {
    timeSignature_ = timeSignature;
    recomputeMeasure();
}

VisualMusicalTime VisualMusicalTime::restored(double pixelsPerSecond, std::optional<double> tempo,
                                              const TimeSignature& timeSignature,
                                              std::optional<VisualMusicalMeasure> visualMeasure) {
    VisualMusicalTime time;
    time.pixelsPerSecond_ = pixelsPerSecond;
    time.tempo_ = tempo;
    time.timeSignature_ = timeSignature;
    time.visualMeasure_ = visualMeasure;
    return time;
}

void VisualMusicalTime::recomputeMeasure() {
    if (tempo_) {
        visualMeasure_ = VisualMusicalMeasure::make(pixelsPerSecond_, *tempo_, timeSignature_);
    }
}

} // namespace kvntime
