#include "TimelineTestSupport.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPXMLDescription.h>

namespace kvnfcpx {
namespace {

using testing::clipsOf;
using ::testing::ElementsAre;
using testing::markersOf;
using testing::placements;
using ::testing::SizeIs;
using timecode::CMTime;

const std::filesystem::path examples = std::filesystem::path(VELOTRACK_SOURCE_DIR) / "examples";

FCPXMLDescription loadExample(const std::string& name) {
    auto file = examples / name;
    if (file.extension() == ".fcpxmld") {
        file = FCPXMLDescription::xmlFileInBundle(file).value();
    }
    return FCPXMLDescription::fromFile(file).value();
}

// Frames of 29.97 fps as media time.
CMTime frames(std::int64_t count) {
    return CMTime::make(count * 1001, 30000);
}

TEST(ExampleDocuments, DropFrameDocumentaryOfVersion18) {
    koltutils::ScopedLogCapture quiet;
    const auto description = loadExample("harbour-documentary-1.8.fcpxml");
    EXPECT_EQ(description.version, Version::v1_8);
    EXPECT_EQ(description.resources->assets[0]->mediaRep.src,
              "file:///Volumes/Harbour/Interviews/Maya%20Interview.mov");
    const auto& sequence = *description.project->sequence;
    EXPECT_EQ(sequence.tcStart, frames(107892));
    EXPECT_EQ(sequence.tcFormat, Sequence::TimecodeFormat::dropFrame);

    // Positions are whole frames from 01:00:00;00.
    const auto clips = clipsOf(description);
    ASSERT_THAT(clips, SizeIs(7));
    const std::vector<CMTime> offsets{frames(0),   frames(0),   frames(120), frames(300),
                                      frames(300), frames(560), frames(690)};
    for (std::size_t i = 0; i < clips.size(); ++i) {
        EXPECT_EQ(clips[i].clipTime.offset, offsets[i]) << *clips[i].name;
    }
    EXPECT_THAT(placements(clips),
                ElementsAre("Maya Interview @0.0 5.005+10.01 dialogue.dialogue-1",
                            "Harbour Theme @0.0 0.0+30.03 lane -1 music",
                            "Gulls @4.004 0.0+3.003 lane 1 effects",
                            "Maya Interview (take 2) @10.01 30.03+8.008 dialogue",
                            "Maya Interview (take 3) @10.01 50.05+8.008 dialogue",
                            "Foghorn @18.685333333333332 0.0+3.3366666666666664 lane 1 effects",
                            "Harbour B-roll @23.023 10.01+12.012 effects.effects-1 muted"));
    EXPECT_EQ(clips[0].clipVolume, (ClipVolume{-3.0f, frames(30), CMTime::make(15015, 30000)}));
    EXPECT_EQ(clips[1].clipVolume, (ClipVolume{-12.0f, std::nullopt, frames(60)}));

    // The crane shot's marker lies beyond the part of the shot that is used.
    EXPECT_THAT(placements(markersOf(description)),
                ElementsAre("Opening @0.0 (chapter)", "Maya introduces the harbour @1.5015",
                            "Pick-up line @12.012", "Hold on black @19.019",
                            "The Boats @20.5205 (chapter)", "Boat enters frame @26.026"));
}

TEST(ExampleDocuments, TrailerWithProxiesEffectsAndNestedAudio) {
    koltutils::ScopedLogCapture quiet;
    const auto description = loadExample("coastline-trailer-1.11.fcpxml");
    EXPECT_EQ(description.resources->assets[0]->mediaRep.kind,
              Asset::MediaRep::Kind::originalMedia);
    EXPECT_EQ(description.resources->assets[0]->mediaRep.src,
              "file:///Volumes/Coastline/Drone/Drone%20Coast.mov");

    // A clip element takes ref, role and lane from its nested audio, so the narration on lane
    // -1 reports the audio's lane, which it does not give.
    const auto clips = clipsOf(description);
    EXPECT_THAT(placements(clips),
                ElementsAre("Drone Coast @0.0 5.0+14.0 effects",
                            "Narration - Line 1 @2.0 0.0+9.0 dialogue.narration",
                            "Trailer Score @0.0 0.0+30.0 lane -2 music.score",
                            "Cliff Walk @14.0 10.0+10.0 effects",
                            "Narration - Closing Line @24.0 0.0+6.0 dialogue.narration"));
    ASSERT_THAT(clips, SizeIs(5));
    ASSERT_TRUE(clips[0].effects);
    const auto state = clips[0].effects->front().fullState();
    ASSERT_TRUE(state);
    EXPECT_EQ(ArchivedValue::find(*state, "name")->storage,
              ArchivedValue::Storage(std::string("Room Tone Cleanup")));
    EXPECT_EQ(clips[2].clipVolume, (ClipVolume{-6.0f, CMTime::make(2, 1), CMTime::make(3, 1)}));

    EXPECT_THAT(placements(markersOf(description)),
                ElementsAre("Breath - trim? @6.0", "Second Act @16.0 (chapter)",
                            "Title @0.0 (chapter)", "Waves hit the rocks @7.0",
                            "Footsteps sync point @19.0"));
}

TEST(ExampleDocuments, PodcastBundleWithAuditionAndChannelSources) {
    koltutils::ScopedLogCapture quiet;
    const auto description = loadExample("tide-tables-podcast-episode-12.fcpxmld");
    EXPECT_EQ(description.version, Version::v1_13);
    EXPECT_THAT(placements(clipsOf(description)),
                ElementsAre("Intro Take 2 @0.0 1.0+20.0 dialogue.host",
                            "Intro Take 1 @0.0 3.0+20.0 dialogue.host",
                            "Guest Interview @20.0 120.0+1800.0 dialogue.guest",
                            "Recorder Scratch @20.0 0.0+1800.0 lane -1 dialogue.scratch muted",
                            "Outro Music @1822.0 0.0+38.0 music"));
    EXPECT_THAT(placements(markersOf(description)),
                ElementsAre("Welcome @0.0 (chapter)", "The Spring Tides @25.0 (chapter)",
                            "Listener Questions @920.0 (chapter)", "Sponsor read @1400.0",
                            "Room for the sign-off @1821.0", "Outro @1822.0 (chapter)"));
}

} // namespace
} // namespace kvnfcpx
