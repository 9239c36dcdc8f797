#pragma once

#include "kvntime/RulerSnapType.h"
#include "kvntime/VisualMusicalTime.h"

#include <optional>
#include <string>

namespace kvntime {

// The tempo state of a timeline: the material's own tempo, the tempo the user plays it at, the
// timeline's master tempo, the playback rate they give and the musical grid that follows them.
//
// - Tempos of zero or below are stored as absent.
// - The grid follows the internal tempo when `lockNaturalTempo` is set or there is no virtual
//   tempo, else the virtual tempo; it is clamped to 1...1024. The grid is brought up to date
//   after every tempo change, including a change of `lockNaturalTempo`.
// - The stored rate (`storedRate()`, the "_rate" of the stored form) is always the one the tempos
//   give; `rate()` and `ratio()` read 1.0 while `lockNaturalTempo` is set, which is how the
//   description shows them too.
class TimelineTempo {
public:
    static constexpr double defaultBpm = 120;
    static constexpr double minimumTempo = VisualMusicalTime::minimumTempo;
    static constexpr double maximumTempo = VisualMusicalTime::maximumTempo;

    TimelineTempo() = default;

    const VisualMusicalTime& visualTime() const noexcept { return visualTime_; }
    bool allowsTempoChange() const noexcept { return allowsTempoChange_; }
    void setAllowsTempoChange(bool allows) noexcept { allowsTempoChange_ = allows; }
    bool lockNaturalTempo() const noexcept { return lockNaturalTempo_; }
    void setLockNaturalTempo(bool lock);
    std::optional<double> internalTempo() const noexcept { return internalTempo_; }
    std::optional<double> virtualTempo() const noexcept { return virtualTempo_; }
    double masterTempo() const noexcept { return masterTempo_; }
    bool useMasterTempo() const noexcept { return useMasterTempo_; }

    void updateInternalTempo(std::optional<double> tempo);
    void updateVirtualTempo(std::optional<double> tempo);
    // Ignored unless `tempo` is greater than zero.
    void updateMasterTempo(double tempo, bool useMasterTempo);
    void updatePixelsPerSecond(double pixelsPerSecond);

    // The tempo the grid is drawn at, if any.
    std::optional<double> gridTempo() const noexcept { return visualTime_.tempo(); }
    double rate() const noexcept { return lockNaturalTempo_ ? 1.0 : rate_; }
    double ratio() const noexcept { return 1.0 / rate(); }
    double storedRate() const noexcept { return rate_; }
    // The rate the tempos give now (the system's spelling).
    double calcuateRate() const noexcept;
    // The grid has a measure whose beat is wider than zero.
    bool tempoIsSet() const noexcept;
    double snapDivision(RulerSnapType snapType) const noexcept;

    // "[TimelineTempo internalTempo: nil, masterTempo: 120.0, virtualTempo: nil rate: 1.0, ratio:
    // 1.0, useMasterTempo: false]"
    std::string description() const;

    // Restores a stored state as it was kept, without recomputing anything.
    struct Stored {
        VisualMusicalTime visualTime;
        bool allowsTempoChange = true;
        bool lockNaturalTempo = false;
        std::optional<double> internalTempo;
        std::optional<double> virtualTempo;
        double masterTempo = defaultBpm;
        bool useMasterTempo = false;
        double rate = 1.0;
    };
    static TimelineTempo restored(const Stored& stored);
    Stored stored() const;

    friend bool operator==(const TimelineTempo&, const TimelineTempo&) = default;

private:
    void updateGridAndRate();

    VisualMusicalTime visualTime_;
    bool allowsTempoChange_ = true;
    bool lockNaturalTempo_ = false;
    std::optional<double> internalTempo_;
    std::optional<double> virtualTempo_;
    double masterTempo_ = defaultBpm;
    bool useMasterTempo_ = false;
    double rate_ = 1.0;
};

} // namespace kvntime
