#include "kvntime/TimelineTempo.h"

#include <koltutils/Describe.h>

namespace kvntime {
namespace {

std::optional<double> positiveOrAbsent(std::optional<double> tempo) {
    if (tempo && *tempo > 0) {
        return tempo;
    }
    return std::nullopt;
}

} // namespace

void TimelineTempo::setLockNaturalTempo(bool lock) {
    lockNaturalTempo_ = lock;
    updateGridAndRate();
}

void TimelineTempo::updateInternalTempo(std::optional<double> tempo) {
    internalTempo_ = positiveOrAbsent(tempo);
    updateGridAndRate();
}

void TimelineTempo::updateVirtualTempo(std::optional<double> tempo) {
    virtualTempo_ = positiveOrAbsent(tempo);
    updateGridAndRate();
}

void TimelineTempo::updateMasterTempo(double tempo, bool useMasterTempo) {
    if (!(tempo > 0)) {
        return;
    }
    masterTempo_ = tempo;
    useMasterTempo_ = useMasterTempo;
    updateGridAndRate();
}

void TimelineTempo::updatePixelsPerSecond(double pixelsPerSecond) {
    visualTime_.setPixelsPerSecond(pixelsPerSecond);
}

double TimelineTempo::calcuateRate() const noexcept {
    if (!internalTempo_) {
        return 1.0;
    }
    if (useMasterTempo_) {
        return virtualTempo_.value_or(masterTempo_) / *internalTempo_;
    }
    return virtualTempo_ ? *virtualTempo_ / *internalTempo_ : 1.0;
}

bool TimelineTempo::tempoIsSet() const noexcept {
    const auto& measure = visualTime_.visualMeasure();
    return measure && measure->pixelsPerBeat > 0;
}

double TimelineTempo::snapDivision(RulerSnapType snapType) const noexcept {
    const auto& measure = visualTime_.visualMeasure();
    return measure ? measure->snapDivision(snapType) : 1.0;
}

std::string TimelineTempo::description() const {
    using koltutils::describe;
    return "[TimelineTempo internalTempo: " + describe(internalTempo_) +
           ", masterTempo: " + describe(masterTempo_) + ", " +
           "virtualTempo: " + describe(virtualTempo_) + " rate: " + describe(rate()) +
           ", ratio: " + describe(ratio()) + ", useMasterTempo: " + describe(useMasterTempo_) + "]";
}

TimelineTempo TimelineTempo::restored(const Stored& stored) {
    TimelineTempo tempo;
    tempo.visualTime_ = stored.visualTime;
    tempo.allowsTempoChange_ = stored.allowsTempoChange;
    tempo.lockNaturalTempo_ = stored.lockNaturalTempo;
    tempo.internalTempo_ = stored.internalTempo;
    tempo.virtualTempo_ = stored.virtualTempo;
    tempo.masterTempo_ = stored.masterTempo;
    tempo.useMasterTempo_ = stored.useMasterTempo;
    tempo.rate_ = stored.rate;
    return tempo;
}

TimelineTempo::Stored TimelineTempo::stored() const {
    return {visualTime_,   allowsTempoChange_, lockNaturalTempo_, internalTempo_,
            virtualTempo_, masterTempo_,       useMasterTempo_,   rate_};
}

void TimelineTempo::updateGridAndRate() {
    const std::optional<double> grid =
        (lockNaturalTempo_ || !virtualTempo_) ? internalTempo_ : virtualTempo_;
    visualTime_.setTempo(grid);
    rate_ = calcuateRate();
}

} // namespace kvntime
