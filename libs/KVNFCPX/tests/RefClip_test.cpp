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

constexpr const char* errorPrefix = "🚩 FCPXMLDescription+Parser+Clips.cpp:"
                                    "parseRefClip(element:tcStart:itemTime:parentTiming:groupId:):";

// m1: an inner timeline starting at one hour; m2: one starting at zero, with a clip cut at the
// in-point (with a marker), one whose cut leaves less than nothing, and one after the end.
constexpr const char* innerTimelines =
    R"(<media id="m1"><sequence tcStart="3600s"><spine>)"
    R"(<asset-clip ref="a1" name="Long" offset="3610s" duration="30s"/>)"
    R"(</spine></sequence></media>)"
    R"(<media id="m2"><sequence tcStart="0s"><spine>)"
    R"(<asset-clip ref="a2" name="Head" offset="0s" duration="10s">)"
    R"(<marker start="1s" duration="1s" value="Inner marker"/></asset-clip>)"
    R"(<asset-clip ref="a2" name="Sliver" offset="1s" start="7s" duration="1/2s"/>)"
    R"(<asset-clip ref="a1" name="Late" offset="25s" duration="5s"/>)"
    R"(</spine></sequence></media>)";

TEST(RefClip, MapsInnerClipsOntoTheEnclosingTimeline) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe(innerTimelines, R"(
        <ref-clip ref="m1" offset="20s" start="3610s" duration="5s"/>
        <ref-clip ref="m2" offset="0s" start="2s" duration="20s"/>)");
    const auto& clips = contentOf(description).assetClips;
    ASSERT_THAT(namesOf(clips), ElementsAre("Long", "Head"));
    EXPECT_TRUE(contentOf(description).markers.empty());

    // Offset 10 s inside, moved by 20 s, less the 10 s in-point; cut at the end (25 s).
    EXPECT_EQ(clips[0].clipTime.offset, seconds(20));
    EXPECT_EQ(clips[0].clipTime.start, seconds(0));
    EXPECT_EQ(clips[0].clipTime.duration, seconds(5));
    // Before the in-point (2 s): the start moves in and the length shrinks; the offset stays.
    EXPECT_EQ(clips[1].clipTime.offset, seconds(0));
    EXPECT_EQ(clips[1].clipTime.start, seconds(2));
    EXPECT_EQ(clips[1].clipTime.duration, seconds(8));

    // Called directly, the clips outside come back marked invalid.
    const auto& refClip = *description.document->root()
                               ->child("project")
                               ->child("sequence")
                               ->child("spine")
                               ->children()[1];
    const ClipTime itemTime{.start = seconds(2),
                            .offset = seconds(0),
                            .duration = seconds(20),
                            .clipItem = ClipItem::refClip};
    const auto direct = description.parseRefClip(refClip, seconds(0), itemTime, {}, "group");
    ASSERT_TRUE(direct);
    ASSERT_THAT(namesOf(*direct), ElementsAre("Head", "Sliver", "Late"));
    EXPECT_EQ((*direct)[1].clipTime.duration, seconds(-3, 2));
    EXPECT_FALSE((*direct)[1].clipTime.isValid);
    EXPECT_EQ((*direct)[2].clipTime.offset, seconds(23));
    EXPECT_FALSE((*direct)[2].clipTime.isValid);
    EXPECT_TRUE((*direct)[0].clipTime.isValid);
    EXPECT_THAT(errorLines(capture), IsEmpty());
}

TEST(RefClip, EveryClipOfOneCompoundClipSharesItsOwnGroup) {
    const auto description =
        describe(std::string(innerTimelines) +
                     R"(<media id="outer"><sequence><spine>)"
                     R"(<ref-clip ref="m1" offset="0s" start="3600s" duration="40s"/>)"
                     R"(<asset-clip ref="a2" name="Beside" offset="40s" duration="5s"/>)"
                     R"(</spine></sequence></media>)",
                 R"(<ref-clip ref="outer" offset="0s" duration="50s"/>
                                          <ref-clip ref="m1" offset="60s" start="3600s" duration="40s"/>)");
    const auto& clips = contentOf(description).assetClips;
    ASSERT_THAT(namesOf(clips), ElementsAre("Long", "Beside", "Long"));
    const std::string groupPattern = "ref-clip_[2346789bdfghjmnpqrtBDFGHJLMNPQRT]{10}";
    ASSERT_TRUE(clips[0].groupId);
    EXPECT_THAT(*clips[0].groupId, MatchesRegex(groupPattern));
    // The inner compound clip's own group gives way to the outer one.
    EXPECT_EQ(clips[1].groupId, clips[0].groupId);
    ASSERT_TRUE(clips[2].groupId);
    EXPECT_THAT(*clips[2].groupId, MatchesRegex(groupPattern));
    EXPECT_NE(clips[2].groupId, clips[0].groupId);
}

TEST(RefClip, TakesAudioOnlyWhenEnabledAndLogsWhatItCannotFlatten) {
    koltutils::ScopedLogCapture capture;
    const auto description =
        describe(std::string(innerTimelines) + R"(<media id="empty"/>)",
                 R"(<ref-clip ref="m1" offset="0s" start="3600s" duration="40s"/>
        <ref-clip ref="m1" srcEnable="audio" offset="40s" start="3600s" duration="40s"/>
        <ref-clip ref="m1" srcEnable="all" offset="80s" start="3600s" duration="40s"/>
        <ref-clip ref="m1" srcEnable="video" offset="120s" duration="40s"/>
        <ref-clip ref="m1" srcEnable="Audio" offset="160s" duration="40s"/>
        <ref-clip name="No ref" offset="200s" duration="40s"/>
        <ref-clip ref="nope" offset="240s" duration="40s"/>
        <ref-clip ref="empty" offset="280s" duration="40s"/>)");
    EXPECT_THAT(namesOf(contentOf(description).assetClips), ElementsAre("Long", "Long", "Long"));
    const std::string prefix = errorPrefix;
    EXPECT_THAT(errorLines(capture),
                ElementsAre(prefix + "Skipping this ref-clip m1 srcEnable is video",
                            prefix + "Skipping this ref-clip m1 srcEnable is Audio",
                            prefix + "no ref attribute found in ref-clip",
                            prefix + "Didn't find <media> for ref nope",
                            prefix + "<media> is empty"));
}

TEST(RefClip, MediaWithoutASequenceIsWalkedAsItStands) {
    const auto description = describe(
        R"(<media id="bare"><asset-clip ref="a1" name="Bare" offset="0s" duration="10s"/></media>)",
        R"(<ref-clip ref="bare" offset="5s" duration="10s"/>)");
    const auto& clips = contentOf(description).assetClips;
    ASSERT_THAT(namesOf(clips), ElementsAre("Bare"));
    // Placed once by the walk under the compound clip and once more by the mapping.
    EXPECT_EQ(clips[0].clipTime.offset, seconds(10));
    EXPECT_EQ(clips[0].clipTime.duration, seconds(5));
}

TEST(RefClip, TimelinesThatReferToThemselvesOrExplodeAreRefused) {
    // Forty media, each referring twice to the next: 2^40 walks if taken at their word.
    std::string media;
    for (int level = 0; level < 40; ++level) {
        const std::string next = "x" + std::to_string(level + 1);
        media += "<media id=\"x" + std::to_string(level) + "\"><sequence><spine>" +
                 "<ref-clip ref=\"" + next + "\" offset=\"0s\" duration=\"1s\"/>" +
                 "<ref-clip ref=\"" + next + "\" offset=\"1s\" duration=\"1s\"/>" +
                 "</spine></sequence></media>";
    }
    media += R"(<media id="x40"><sequence><spine>)"
             R"(<asset-clip ref="a1" name="Leaf" offset="0s" duration="1s"/>)"
             R"(</spine></sequence></media>)"
             R"(<media id="loop"><sequence><spine>)"
             R"(<asset-clip ref="a2" name="Looped" offset="0s" duration="1s"/>)"
             R"(<ref-clip ref="loop" offset="1s" duration="1s"/>)"
             R"(</spine></sequence></media>)";
    koltutils::ScopedLogCapture capture;
    const auto description = describe(media, R"(<ref-clip ref="x0" offset="0s" duration="2s"/>
        <ref-clip ref="loop" offset="2s" duration="2s"/>
        <ref-clip ref="x39" offset="4s" duration="2s"/>)");
    // The last levels are small enough to be flattened.
    EXPECT_THAT(namesOf(contentOf(description).assetClips), ElementsAre("Leaf", "Leaf"));
    const std::string refusal = "its <media> refers to itself or expands past 4194304 elements";
    EXPECT_THAT(errorLines(capture),
                ElementsAre(std::string(errorPrefix) + "Skipping this ref-clip x0 " + refusal,
                            std::string(errorPrefix) + "Skipping this ref-clip loop " + refusal));
}

} // namespace
} // namespace kvnfcpx
