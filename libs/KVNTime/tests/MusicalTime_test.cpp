#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/DescribedError.h>
#include <koltutils/EnumTable.h>
#include <kvntime/KVNTime.h>
#include <limits>

namespace kvntime {
namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const koltutils::DescribedError& error) {
        return error.what();
    }
    return "(nothing thrown)";
}

TEST(TimeSignature, AcceptsPowersOfTwoFromTwoAndRejectsTheRestWithTheirValues) {
    EXPECT_NO_THROW(TimeSignature(7, 8));
    EXPECT_NO_THROW(TimeSignature(1, 2));
    EXPECT_EQ(messageOf([] { TimeSignature(4, 3); }), "invalid arguments: 4/3");
    EXPECT_EQ(messageOf([] { TimeSignature(4, 1); }), "invalid arguments: 4/1");
    EXPECT_EQ(messageOf([] { TimeSignature(0, 4); }), "invalid arguments: 0/4");
    EXPECT_EQ(messageOf([] { TimeSignature(3, 0); }), "invalid arguments: 3/0");
    EXPECT_EQ(TimeSignature::_4_4(), TimeSignature(4, 4));
}

TEST(MusicalMeasure, ReadsBarBeatAndSubdivisionAtATime) {
    const MusicalMeasure start(0);
    EXPECT_EQ(start.stringValue(), "1 1 1");
    EXPECT_EQ(start.barsPerSecond(), 0.5);
    EXPECT_EQ(start.beatsInSecond(), 2.0);

    const MusicalMeasure later(2.125);
    EXPECT_EQ(later.fractionalBar(), 1.0625);
    EXPECT_EQ(later.fractionalBeat(), 0.25);
    EXPECT_EQ(later.stringValue(), "2 1 2");

    for (const double before : {-1.0, std::numeric_limits<double>::quiet_NaN(), 1e300}) {
        const MusicalMeasure none(before);
        EXPECT_EQ(none.stringValue(), "0 0 0") << before;
        EXPECT_EQ(none.fractionalBar(), 0) << before;
    }
}

TEST(MusicalMeasure, BarsPerSecondFollowsTheSignatureOnlyWhenTheTempoIsSet) {
    MusicalMeasure measure;
    measure.setTimeSignature(TimeSignature(3, 4));
    EXPECT_EQ(measure.barsPerSecond(), 0.5);
    measure.setTempo(90);
    EXPECT_EQ(measure.barsPerSecond(), 0.5); // 90 / 60 / 3
    measure.updateFrom(3.5);                 // 1.75 bars: bar 2, beat 3 (2.25), subdivision 2
    EXPECT_EQ(measure.stringValue(), "2 3 2");
    EXPECT_EQ(measure.fractionalBeat(), 2.25);
}

TEST(VisualMusicalMeasure, WidthsFollowTempoAndNumerator) {
    const auto common = VisualMusicalMeasure::make(30, 120, TimeSignature());
    EXPECT_EQ(common, (VisualMusicalMeasure{3.75, 15, 60}));
    // The beat is drawn 4/n as wide at other numerators.
    const auto waltz = VisualMusicalMeasure::make(30, 120, TimeSignature(3, 4));
    EXPECT_EQ(waltz.pixelsPerBeat, 20);
    EXPECT_EQ(waltz.pixelsPerBar, 60);
    EXPECT_EQ(messageOf([] { VisualMusicalMeasure::make(30, 0, TimeSignature()); }),
              "tempo must be greater than zero");
    EXPECT_EQ(common.snapDivision(RulerSnapType::bar), 60);
    EXPECT_EQ(common.snapDivision(RulerSnapType::subdivision), 3.75);
    EXPECT_EQ(common.snapDivision(RulerSnapType::frame), 1.0);
    EXPECT_EQ(common.snapDivision(RulerSnapType::magnetic), 1.0);
}

TEST(VisualMusicalTime, ClampsTemposAndIgnoresUnusableWidths) {
    const VisualMusicalTime fast(30, 2000);
    EXPECT_EQ(fast.tempo(), 1024);
    const VisualMusicalTime slow(30, 0.5);
    EXPECT_EQ(slow.tempo(), 1);
    EXPECT_EQ(slow.visualMeasure()->pixelsPerBeat, 1800);

    const VisualMusicalTime fallback(-4, std::nullopt);
    EXPECT_EQ(fallback.pixelsPerSecond(), 30);
    EXPECT_FALSE(fallback.visualMeasure());

    VisualMusicalTime grid(60, 120);
    grid.setPixelsPerSecond(std::numeric_limits<double>::infinity());
    EXPECT_EQ(grid.pixelsPerSecond(), 60);
    grid.setPixelsPerSecond(120);
    EXPECT_EQ(grid.visualMeasure()->pixelsPerBeat, 60);
    grid.setTempo(std::nullopt); // the last grid stays
    EXPECT_EQ(grid.visualMeasure()->pixelsPerBeat, 60);
    grid.setPixelsPerSecond(30); // no tempo: nothing recomputed
    EXPECT_EQ(grid.visualMeasure()->pixelsPerBeat, 60);
    grid.setTempo(60);
    grid.setTimeSignature(TimeSignature(2, 4));
    EXPECT_EQ(grid.visualMeasure(), VisualMusicalMeasure::make(30, 60, TimeSignature(2, 4)));
}

TEST(TimelineTempo, DefaultDescriptionAndGrid) {
    const TimelineTempo tempo;
    EXPECT_EQ(tempo.description(), "[TimelineTempo internalTempo: nil, masterTempo: 120.0, "
                                   "virtualTempo: nil rate: 1.0, ratio: 1.0, useMasterTempo: "
                                   "false]");
    EXPECT_FALSE(tempo.gridTempo());
    EXPECT_FALSE(tempo.tempoIsSet());
    EXPECT_EQ(tempo.snapDivision(RulerSnapType::bar), 1.0);
}

TEST(TimelineTempo, RateAndGridFollowInternalVirtualAndMasterTempos) {
    TimelineTempo tempo;
    tempo.updateInternalTempo(100);
    EXPECT_EQ(tempo.gridTempo(), 100);
    EXPECT_TRUE(tempo.tempoIsSet());
    EXPECT_EQ(tempo.rate(), 1.0);

    tempo.updateVirtualTempo(150);
    EXPECT_EQ(tempo.gridTempo(), 150);
    EXPECT_EQ(tempo.rate(), 1.5);
    EXPECT_EQ(tempo.description(), "[TimelineTempo internalTempo: 100.0, masterTempo: 120.0, "
                                   "virtualTempo: 150.0 rate: 1.5, ratio: 0.6666666666666666, "
                                   "useMasterTempo: false]");

    tempo.updateVirtualTempo(0); // stored as absent: back to the material's own pace
    EXPECT_FALSE(tempo.virtualTempo());
    EXPECT_EQ(tempo.rate(), 1.0);
    EXPECT_EQ(tempo.gridTempo(), 100);

    tempo.updateMasterTempo(-5, true); // ignored
    EXPECT_FALSE(tempo.useMasterTempo());
    tempo.updateMasterTempo(80, true);
    EXPECT_EQ(tempo.rate(), 0.8);
    tempo.updateVirtualTempo(2000); // the grid clamps; the rate does not
    EXPECT_EQ(tempo.gridTempo(), 1024);
    EXPECT_EQ(tempo.rate(), 20);

    tempo.setLockNaturalTempo(true);
    EXPECT_EQ(tempo.gridTempo(), 100);
    EXPECT_EQ(tempo.rate(), 1.0);
    EXPECT_EQ(tempo.storedRate(), 20);
    EXPECT_THAT(tempo.description(), testing::EndsWith(" rate: 1.0, ratio: 1.0, useMasterTempo: "
                                                       "true]"));

    tempo.updateInternalTempo(std::nullopt);
    EXPECT_FALSE(tempo.gridTempo());
    EXPECT_EQ(tempo.storedRate(), 1.0);
}

TEST(TimelineTempo, SnapDivisionUsesTheGridOfTheCurrentZoom) {
    TimelineTempo tempo;
    tempo.updateInternalTempo(120);
    tempo.updatePixelsPerSecond(60);
    EXPECT_EQ(tempo.snapDivision(RulerSnapType::bar), 120);
    EXPECT_EQ(tempo.snapDivision(RulerSnapType::beat), 30);
    EXPECT_EQ(tempo.snapDivision(RulerSnapType::none), 1.0);
}

TEST(Enumerations, RawValuesAndDisplayNames) {
    using koltutils::rawValue;
    EXPECT_EQ(rawValue(RulerSnapType::none), "Don't Snap");
    EXPECT_EQ(koltutils::fromRawValue<RulerSnapType>("Subdivision"), RulerSnapType::subdivision);
    EXPECT_EQ(rawValue(RegionSnapType::sync), "Snap to sync");
    EXPECT_EQ(rawValue(TimeDomain::musical), "Bars");
    EXPECT_EQ(rawValue(TimeDisplayFormat::seconds), "seconds");
    EXPECT_EQ(displayName(TimeDisplayFormat::seconds), "Seconds");
}

} // namespace
} // namespace kvntime
