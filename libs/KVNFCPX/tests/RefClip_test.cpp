#include "../src/TimelineWalker.h"
#include "ContainerTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace testing::containers;

const std::string errorPrefix = "🚩 FCPXMLDescription+Parser+Clips.cpp:"
                                "parseRefClip(element:tcStart:itemTime:parentTiming:groupId:):";

// m1 starts at one hour; m2 at zero, with a clip before the in-point (holding a marker), one
// that the in-point cuts to less than nothing, and one after the compound clip's end.
const std::string innerTimelines =
    R"(<media id="m1"><sequence tcStart="3600s"><spine>
           <asset-clip ref="a1" name="Long" offset="3610s" duration="30s"/></spine></sequence></media>
       <media id="m2"><sequence><spine>
           <asset-clip ref="a2" name="Head" offset="0s" duration="10s">
               <marker start="1s" duration="1s"/></asset-clip>
           <asset-clip ref="a2" name="Sliver" offset="1s" start="7s" duration="1/2s"/>
           <asset-clip ref="a1" name="Late" offset="25s" duration="5s"/></spine></sequence></media>)";

TEST(RefClip, MapsInnerClipsOntoTheEnclosingTimeline) {
    const auto description = describe(innerTimelines, R"(
        <ref-clip ref="m1" offset="20s" start="3610s" duration="5s"/>
        <ref-clip ref="m2" offset="0s" start="2s" duration="20s"/>)");
    // 10 s in, moved by 20 s, less the 10 s in-point, cut at 25 s; before the 2 s in-point the
    // start moves in and the length shrinks. Clips outside never reach the sequence.
    EXPECT_THAT(placements(contentOf(description).assetClips),
                ElementsAre("Long @20.0 0.0+5.0", "Head @0.0 2.0+8.0"));
    EXPECT_THAT(contentOf(description).markers, IsEmpty());

    const auto& spine =
        *description.document->root()->child("project")->child("sequence")->child("spine");
    const ClipTime itemTime{
        .start = seconds(2), .duration = seconds(20), .clipItem = ClipItem::refClip};
    detail::TimelineWalker walker(description);
    const auto clips = walker.parseRefClip(*spine.children()[1], itemTime,
                                           detail::WalkContext{.groupId = std::string("g")});
    ASSERT_TRUE(clips);
    EXPECT_THAT(placements(*clips), ElementsAre("Head @0.0 2.0+8.0", "Sliver @1.0 9.0+-1.5 invalid",
                                                "Late @23.0 0.0+-3.0 invalid"));
}

TEST(RefClip, EveryClipOfACompoundClipCarriesItsGroup) {
    const auto description = describe(innerTimelines + R"(<media id="outer"><sequence><spine>
                     <ref-clip ref="m1" offset="0s" start="3600s" duration="40s"/>
                     <asset-clip ref="a2" name="Beside" offset="40s" duration="5s"/>
                 </spine></sequence></media>)",
                                      R"(<ref-clip ref="outer" offset="0s" duration="50s"/>
                    <ref-clip ref="m1" offset="60s" start="3600s" duration="40s"/>)");
    // The inner compound clip's group gives way to the outer one.
    EXPECT_THAT(groupsOf(contentOf(description).assetClips),
                ElementsAre("ref-clip 1", "ref-clip 1", "ref-clip 2"));
}

TEST(RefClip, TakesAudioOnlyWhenEnabledAndLogsWhatItCannotFlatten) {
    koltutils::ScopedLogCapture capture;
    const auto description =
        describe(innerTimelines + R"(<media id="empty"/>
            <media id="bare"><asset-clip ref="a1" name="Bare" offset="0s" duration="1s"/></media>)",
                 R"(<ref-clip ref="m1" offset="0s" start="3600s" duration="40s"/>
           <ref-clip ref="m1" srcEnable="audio" offset="40s" start="3600s" duration="40s"/>
           <ref-clip ref="bare" srcEnable="all" offset="0s" duration="40s"/>
           <ref-clip ref="m1" srcEnable="video" offset="120s" duration="40s"/>
           <ref-clip ref="m1" srcEnable="Audio" offset="160s" duration="40s"/>
           <ref-clip offset="200s" duration="40s"/>
           <ref-clip ref="nope" offset="240s" duration="40s"/>
           <ref-clip ref="empty" offset="280s" duration="40s"/>)");
    // Media without a sequence are walked as they stand.
    EXPECT_THAT(placements(contentOf(description).assetClips),
                ElementsAre("Long @10.0 0.0+30.0", "Long @50.0 0.0+30.0", "Bare @0.0 0.0+1.0"));
    EXPECT_THAT(linesOf(capture),
                ElementsAre(errorPrefix + "Skipping this ref-clip m1 srcEnable is video",
                            errorPrefix + "Skipping this ref-clip m1 srcEnable is Audio",
                            errorPrefix + "no ref attribute found in ref-clip",
                            errorPrefix + "Didn't find <media> for ref nope",
                            errorPrefix + "<media> is empty"));
}

TEST(RefClip, TimelinesThatReferToThemselvesOrExplodeAreRefused) {
    // Forty media, each referring twice to the next: 2^40 walks if taken at their word.
    std::string media = R"(<media id="x40"><sequence><spine>
            <asset-clip ref="a1" name="Leaf" offset="0s" duration="1s"/></spine></sequence></media>
        <media id="loop"><sequence><spine><ref-clip ref="loop" offset="0s" duration="1s"/>
            </spine></sequence></media>)";
    for (int level = 0; level < 40; ++level) {
        // Appended, not `"x" + std::to_string(...)`: GCC 12 at -O3 reports a false -Wrestrict
        // inside the inlined insertion of a literal before a temporary string.
        const auto next = std::string("x").append(std::to_string(level + 1));
        media += "<media id=\"x" + std::to_string(level) + "\"><sequence><spine><ref-clip ref=\"" +
                 next + "\" offset=\"0s\" duration=\"1s\"/><ref-clip ref=\"" + next +
                 "\" offset=\"1s\" duration=\"1s\"/></spine></sequence></media>";
    }
    koltutils::ScopedLogCapture capture;
    const auto description = describe(media, R"(<ref-clip ref="x0" offset="0s" duration="2s"/>
        <ref-clip ref="loop" offset="2s" duration="2s"/>
        <ref-clip ref="x39" offset="4s" duration="2s"/>)");
    EXPECT_THAT(placements(contentOf(description).assetClips),
                ElementsAre("Leaf @4.0 0.0+1.0", "Leaf @5.0 0.0+1.0"));
    const std::string refused = " its <media> refers to itself or expands past 4194304 elements";
    EXPECT_THAT(linesOf(capture),
                ElementsAre(errorPrefix + "Skipping this ref-clip x0" + refused,
                            errorPrefix + "Skipping this ref-clip loop" + refused));
}

} // namespace
} // namespace kvnfcpx
