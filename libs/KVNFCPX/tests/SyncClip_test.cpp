#include "ContainerTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvnfcpx {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using testing::containers::contentOf;
using testing::containers::describe;
using testing::containers::errorLines;
using testing::containers::namesOf;
using testing::containers::seconds;

const std::string syncClipFile = "🚩 FCPXMLDescription+Parser+SyncClip.cpp:";
const std::string updateInteriorClip = syncClipFile + "updateInteriorClip(assetClip:"
                                                      "containerClipTime:containerEndTime:"
                                                      "tcStart:clipVolume:effects:):";

// A camera clip on a1 and a sound clip on a2 whose role is given by `soundRole`, synchronised
// by `syncSource`, at `offset`.
std::string syncClip(int offset, const std::string& soundRole, const std::string& syncSource) {
    return "<sync-clip offset=\"" + std::to_string(offset) + "s\" duration=\"10s\">" +
           R"(<asset-clip ref="a1" name="Video" offset="0s" duration="10s"/>)" +
           R"(<asset-clip ref="a2" name="Sound" offset="0s" duration="10s")" + soundRole +
           "</asset-clip>" + syncSource + "</sync-clip>";
}

TEST(SyncClip, TakesTheClipWhoseAudioRoleHoldsTheSyncRoleAsSource) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe(
        "", R"(<sync-clip offset="0s" duration="10s">
                   <asset-clip ref="a1" name="Only" offset="0s" duration="10s"/></sync-clip>)" +
                syncClip(10, R"( audioRole="dialogue.dialogue-1">)",
                         R"(<sync-source><audio-role-source role="dialogue"/></sync-source>)") +
                // An inactive role source is still used when it is the only one.
                syncClip(20, R"(><audio-channel-source role="dialogue.dialogue-1"/>)",
                         R"(<sync-source><audio-role-source role="dialogue" active="0"/>)"
                         R"(</sync-source>)") +
                syncClip(30, R"( audioRole="dialogue">)",
                         R"(<sync-source><audio-role-source role="music"/></sync-source>)") +
                syncClip(40, R"( audioRole="dialogue">)",
                         R"(<sync-source><audio-role-source/></sync-source>)") +
                syncClip(50, R"( audioRole="dialogue">)", R"(<sync-source/>)"));

    // The source comes first, the other children after it.
    EXPECT_THAT(namesOf(contentOf(description).assetClips),
                ElementsAre("Only", "Sound", "Video", "Sound", "Video"));
    const std::string getSyncSource = syncClipFile + "getSyncSource(element:):";
    const std::string noSource = syncClipFile +
                                 "parseSyncClip(element:tcStart:itemTime:parentTiming:groupId:):"
                                 "Failed to identify a sync clip source clip";
    EXPECT_THAT(errorLines(capture),
                ElementsAre(getSyncSource + "Failed to get 'audioRole'", noSource,
                            getSyncSource + "Failed to get 'syncRole'", noSource,
                            getSyncSource + "Failed to get 'audio-role-source'", noSource));
}

TEST(SyncClip, FlattensTheSourceAndWalksTheOtherChildrenAsTheyAre) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe("", R"(
        <sync-clip offset="0s" start="2s" duration="5s">
            <adjust-volume amount="-9dB"/>
            <asset-clip ref="a1" name="Camera" offset="0s" duration="10s">
                <marker start="1s" duration="1s" value="Before the in-point"/>
                <marker start="4s" duration="1s" value="Inside"/>
            </asset-clip>
            <asset-clip ref="a2" lane="-1" name="Room" offset="3s" duration="20s"/>
            <marker start="3s" duration="1s" value="On the sync clip"/>
        </sync-clip>)");
    const auto& content = contentOf(description);
    ASSERT_THAT(namesOf(content.assetClips), ElementsAre("Camera", "Room"));
    const AssetClip& camera = content.assetClips[0];
    EXPECT_EQ(camera.clipTime.start, seconds(2));
    EXPECT_EQ(camera.clipTime.offset, seconds(0));
    EXPECT_EQ(camera.clipTime.duration, seconds(5));
    EXPECT_EQ(camera.clipVolume, ClipVolume{.adjustVolume = -9.0f});
    // Beside the source: placed under the sync clip, neither trimmed nor given its volume.
    const AssetClip& room = content.assetClips[1];
    EXPECT_EQ(room.clipTime.offset, seconds(1));
    EXPECT_EQ(room.clipTime.duration, seconds(20));
    EXPECT_FALSE(room.clipVolume);

    const std::string groupPattern = "sync-clip_[2346789bdfghjmnpqrtBDFGHJLMNPQRT]{10}";
    ASSERT_TRUE(camera.groupId && room.groupId);
    EXPECT_THAT(*camera.groupId, MatchesRegex(groupPattern));
    EXPECT_THAT(*room.groupId, MatchesRegex(groupPattern));
    EXPECT_NE(camera.groupId, room.groupId);

    ASSERT_EQ(content.markers.size(), 2u);
    EXPECT_EQ(content.markers[0].value, "Inside");
    EXPECT_EQ(content.markers[0].clipTime.offset, seconds(2));
    EXPECT_EQ(content.markers[1].value, "On the sync clip");
    EXPECT_EQ(content.markers[1].clipTime.offset, seconds(1));
    EXPECT_THAT(errorLines(capture),
                ElementsAre(syncClipFile + "updateInteriorMarker(marker:containerClipTime:"
                                           "containerEndTime:):* disposing marker, out of "
                                           "bounds clip time"));
}

TEST(SyncClip, TrimsTheSourceAndTheFadesItCutsAway) {
    const ClipTime container{.start = seconds(2),
                             .offset = seconds(30),
                             .duration = seconds(5),
                             .clipItem = ClipItem::syncClip};
    const auto trim = [&container](const ClipTime& reported, std::optional<ClipVolume> volume) {
        AssetClip clip;
        clip.clipTime = reported;
        clip.clipVolume = volume;
        return FCPXMLDescription::updateInteriorClipWithContainerEndTime(
            clip, container, seconds(35), seconds(0), std::nullopt, std::nullopt);
    };
    const ClipTime early{.start = seconds(0), .offset = seconds(-2), .duration = seconds(10)};

    koltutils::ScopedLogCapture capture;
    const AssetClip cut = trim(early, ClipVolume{.fadeIn = seconds(1), .fadeOut = seconds(2)});
    EXPECT_EQ(cut.clipTime.start, seconds(2));
    EXPECT_EQ(cut.clipTime.offset, seconds(30));
    EXPECT_EQ(cut.clipTime.duration, seconds(5));
    EXPECT_TRUE(cut.clipTime.isValid);
    EXPECT_EQ(cut.clipVolume, ClipVolume{});
    // The cut tail is 10 s - (5 s - 30 s).
    EXPECT_THAT(errorLines(capture),
                ElementsAre(updateInteriorClip + "Removing fade in (1.0), before edit 2.0",
                            updateInteriorClip + "Removing fade out (2.0), after edit 35.0"));

    capture.clear();
    const ClipVolume longFades{.fadeIn = seconds(2), .fadeOut = seconds(35)};
    EXPECT_EQ(trim(early, longFades).clipVolume, longFades);
    const AssetClip past = trim({.offset = seconds(35), .duration = seconds(1)}, std::nullopt);
    EXPECT_FALSE(past.clipTime.isValid);
    EXPECT_THAT(errorLines(capture),
                ElementsAre(updateInteriorClip + "* disposing clip, out of bounds clip time: " +
                            past.clipTime.description()));
}

TEST(SyncClip, TellsWhichSourceItTookAndHowItMovedIt) {
    koltutils::ScopedLogCapture capture;
    describe("", R"(<sync-clip offset="0s" start="1/2s" duration="10s">
                        <asset-clip ref="a1" name="Only" offset="0s" duration="10s"/>
                    </sync-clip>)");
    const std::string file = "FCPXMLDescription+Parser+SyncClip.cpp:";
    const std::string update = file + "updateInteriorClip(assetClip:containerClipTime:"
                                      "containerEndTime:tcStart:clipVolume:effects:):";
    std::vector<std::string> syncLines;
    for (const auto& line : testing::containers::linesOf(capture, platform::LogLevel::debug)) {
        if (line.starts_with(file)) {
            syncLines.push_back(line);
        }
    }
    // Seconds print as the shortest text that reads back as the same double.
    EXPECT_THAT(syncLines,
                ElementsAre(file + "parseSyncClip(element:tcStart:itemTime:parentTiming:groupId:):"
                                   R"(sync-clip source element: <asset-clip duration="10s" )"
                                   R"(name="Only" offset="0s" ref="a1"/>)",
                            update + "🟡 Starting clipTime for Only " +
                                "ClipTime(asset-clip, valid, start 0.0s, offset -0.5s, duration "
                                "10.0s, audioStart 0.0s, audioDuration 0.0s, timeRange "
                                "0.0s..<10.0s) -0.5 10.0 0.0",
                            update + "🟡 Ending clipTime for Only " +
                                "ClipTime(asset-clip, valid, start 0.5s, offset 0.0s, duration "
                                "9.5s, audioStart 0.0s, audioDuration 0.0s, timeRange "
                                "0.5s..<10.0s)"));
}

TEST(SyncClip, SeparateAudioCountsFromItsOwnStartAndTheAudioRange) {
    ClipTime container{.start = seconds(2),
                       .offset = seconds(30),
                       .duration = seconds(5),
                       .audioStart = seconds(4),
                       .audioDuration = seconds(3)};
    AssetClip clip;
    clip.clipTime = {.start = seconds(3605), .offset = seconds(-2), .duration = seconds(10)};
    clip.audioClipContent = ClipContent{.ref = "a2", .clipTime = {.start = seconds(3600)}};
    const ClipTime placed =
        FCPXMLDescription::updateInteriorClipWithContainerEndTime(
            clip, container, seconds(35), seconds(0), std::nullopt, std::nullopt)
            .clipTime;
    // 3605 s + the 2 s in-point, less the audio's own 3600 s, plus the 2 s the audio runs late.
    EXPECT_EQ(placed.start, seconds(9));
    EXPECT_EQ(placed.offset, seconds(32));
    EXPECT_EQ(placed.duration, seconds(3));
}

} // namespace
} // namespace kvnfcpx
