#include "../src/TimelineWalker.h"
#include "ContainerTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvnfcpx {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using namespace testing::containers;

const std::string file = "FCPXMLDescription+Parser+SyncClip.cpp:";
const std::string updateInteriorClip =
    file + "updateInteriorClip(assetClip:containerClipTime:containerEndTime:tcStart:clipVolume:"
           "effects:):";

// A picture clip on a1 and a sound clip on a2 (its role given by `soundRole`), synchronised
// by `syncSource`, at `offset` seconds.
std::string syncClip(int offset, const std::string& soundRole, const std::string& syncSource) {
    return "<sync-clip offset=\"" + std::to_string(offset) + "s\" duration=\"10s\">" +
           R"(<asset-clip ref="a1" name="Picture" offset="0s" duration="10s"/>)" +
           R"(<asset-clip ref="a2" name="Sound" offset="0s" duration="10s")" + soundRole +
           "</asset-clip><sync-source>" + syncSource + "</sync-source></sync-clip>";
}

TEST(SyncClip, TakesTheClipWhoseAudioRoleHoldsTheSyncRoleAsSource) {
    koltutils::ScopedLogCapture capture;
    const std::string dialogue = R"( audioRole="dialogue">)";
    const auto description = describe(
        "", R"(<sync-clip offset="0s" duration="10s">
                   <asset-clip ref="a1" name="Only" offset="0s" duration="10s"/></sync-clip>)" +
                syncClip(10, R"( audioRole="dialogue.dialogue-1">)",
                         R"(<audio-role-source role="dialogue"/>)") +
                // An inactive role source is still used when there is no active one.
                syncClip(20, R"(><audio-channel-source role="dialogue.dialogue-1"/>)",
                         R"(<audio-role-source role="dialogue" active="0"/>)") +
                syncClip(30, dialogue, R"(<audio-role-source role="music"/>)") +
                syncClip(40, dialogue, "<audio-role-source/>") + syncClip(50, dialogue, ""));
    // The source comes first, the other children after it.
    EXPECT_THAT(placements(contentOf(description).assetClips),
                ElementsAre("Only @0.0 0.0+10.0", "Sound @10.0 0.0+10.0", "Picture @10.0 0.0+10.0",
                            "Sound @20.0 0.0+10.0", "Picture @20.0 0.0+10.0"));
    const std::string failed = "🚩 " + file + "getSyncSource(element:):Failed to get ";
    const std::string noSource = "🚩 " + file +
                                 "parseSyncClip(element:tcStart:itemTime:parentTiming:groupId:):"
                                 "Failed to identify a sync clip source clip";
    EXPECT_THAT(linesOf(capture),
                ElementsAre(failed + "'audioRole'", noSource, failed + "'syncRole'", noSource,
                            failed + "'audio-role-source'", noSource));
}

TEST(SyncClip, FlattensTheSourceAndWalksTheOtherChildrenAsTheyAre) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe("", R"(
        <sync-clip offset="0s" start="2s" duration="5s"><adjust-volume amount="-9dB"/>
            <asset-clip ref="a1" name="Camera" offset="0s" duration="10s"><marker start="1s"
                duration="1s" value="Before the in-point"/><marker start="4s" duration="1s"
                value="Inside"/></asset-clip>
            <asset-clip ref="a2" lane="-1" name="Room" offset="3s" duration="20s"/>
            <marker start="3s" duration="1s" value="On the sync clip"/></sync-clip>)");
    const auto& content = contentOf(description);
    // Beside the source: placed under the sync clip, neither trimmed nor given its volume.
    EXPECT_THAT(placements(content.assetClips),
                ElementsAre("Camera @0.0 2.0+5.0", "Room @1.0 0.0+20.0"));
    EXPECT_THAT(groupsOf(content.assetClips), ElementsAre("sync-clip 1", "sync-clip 2"));
    EXPECT_EQ(content.assetClips[0].clipVolume, ClipVolume{.adjustVolume = -9.0f});
    EXPECT_FALSE(content.assetClips[1].clipVolume);
    ASSERT_EQ(content.markers.size(), 2u);
    EXPECT_EQ(content.markers[0].clipTime.offset, seconds(2));
    EXPECT_EQ(content.markers[1].clipTime.offset, seconds(1));
    EXPECT_THAT(linesOf(capture), ElementsAre("🚩 " + file +
                                              "updateInteriorMarker(marker:containerClipTime:"
                                              "containerEndTime:):* disposing marker, out of "
                                              "bounds clip time"));
    EXPECT_THAT(linesOf(capture, platform::LogLevel::debug),
                Contains(file + "parseSyncClip(element:tcStart:itemTime:parentTiming:groupId:):"
                                R"(sync-clip source element: <asset-clip duration="10s" )"
                                R"(name="Camera" offset="0s" ref="a1"><marker duration="1s" )"
                                R"(start="1s" value="Before the in-point"/><marker )"
                                R"(duration="1s" start="4s" value="Inside"/></asset-clip>)"));
}

TEST(SyncClip, TrimsTheSourceAndTheFadesItCutsAway) {
    ClipTime container{.start = seconds(2), .offset = seconds(30), .duration = seconds(5)};
    const auto trim = [&container](const ClipTime& reported, std::optional<ClipVolume> volume,
                                   std::optional<ClipContent> separateAudio = std::nullopt) {
        const AssetClip clip{.clipTime = reported,
                             .clipVolume = volume,
                             .name = "Source",
                             .audioClipContent = separateAudio};
        return detail::TimelineWalker::updateInteriorClipWithContainerEndTime(
            clip, container, seconds(35), seconds(0), std::nullopt, std::nullopt);
    };
    const ClipTime early{.offset = seconds(-2), .duration = seconds(10)};

    koltutils::ScopedLogCapture capture;
    const AssetClip cut = trim(early, ClipVolume{.fadeIn = seconds(1), .fadeOut = seconds(2)});
    EXPECT_THAT(placements({cut}), ElementsAre("Source @30.0 2.0+5.0"));
    EXPECT_EQ(cut.clipVolume, ClipVolume{});
    // The cut tail is 10 s - (5 s - 30 s); seconds print as the shortest round-trip text.
    EXPECT_THAT(
        linesOf(capture),
        ElementsAre("🚩 " + updateInteriorClip + "Removing fade in (1.0), before edit 2.0",
                    "🚩 " + updateInteriorClip + "Removing fade out (2.0), after edit 35.0"));
    EXPECT_THAT(linesOf(capture, platform::LogLevel::debug),
                ElementsAre(updateInteriorClip + "🟡 Starting clipTime for Source " +
                                early.description() + " -2.0 10.0 0.0",
                            updateInteriorClip + "🟡 Ending clipTime for Source " +
                                cut.clipTime.description()));

    capture.clear();
    const ClipVolume longFades{.fadeIn = seconds(2), .fadeOut = seconds(35)};
    EXPECT_EQ(trim(early, longFades).clipVolume, longFades);
    const AssetClip past = trim({.offset = seconds(35), .duration = seconds(1)}, std::nullopt);
    EXPECT_FALSE(past.clipTime.isValid);
    EXPECT_THAT(linesOf(capture), ElementsAre("🚩 " + updateInteriorClip +
                                              "* disposing clip, out of bounds clip time: " +
                                              past.clipTime.description()));

    // Separate audio counts from its own start, and the sync clip's audio runs 2 s late for 3 s.
    container.audioStart = seconds(4);
    container.audioDuration = seconds(3);
    const ClipContent recorder{.ref = "a2", .clipTime = {.start = seconds(3600)}};
    EXPECT_THAT(
        placements({trim({.start = seconds(3605), .offset = seconds(-2), .duration = seconds(10)},
                         std::nullopt, recorder)}),
        ElementsAre("Source @32.0 9.0+3.0"));
}

} // namespace
} // namespace kvnfcpx
