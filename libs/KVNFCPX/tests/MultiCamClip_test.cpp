#include "../src/TimelineWalker.h"
#include "ContainerTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace testing::containers;

const std::string errorPrefix =
    "🚩 FCPXMLDescription+Parser+MultiCamClip.cpp:"
    "parseMultiCamClip(element:tcStart:itemTime:parentTiming:groupId:):";

// A camera angle, a lavalier angle at -6 dB with two markers, and an empty angle.
const std::string multicamMedia = R"(<media id="mc"><multicam>
        <mc-angle angleID="cam"><asset-clip ref="a1" name="Camera" offset="0s" duration="20s"/>
        </mc-angle>
        <mc-angle angleID="mic"><asset-clip ref="a2" name="Lav" offset="0s" duration="20s">
            <adjust-volume amount="-6dB"/>
            <marker start="2s" duration="1s" value="Inside"/>
            <marker start="5s" duration="1s" value="Past the end"/></asset-clip></mc-angle>
        <mc-angle angleID="empty"/></multicam></media>
    <media id="seq"><sequence/></media>)";

TEST(MultiCamClip, TakesTheAngleOfTheFirstSourceThatGivesAudio) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe(multicamMedia, R"(
        <mc-clip ref="mc" offset="0s" duration="20s">
            <mc-source angleID="cam" srcEnable="video"/><mc-source angleID="mic" srcEnable="audio"/>
        </mc-clip>
        <mc-clip ref="mc" offset="20s" duration="20s">
            <mc-source angleID="cam" srcEnable="all"/><mc-source angleID="mic" srcEnable="audio"/>
        </mc-clip>
        <mc-clip ref="mc" offset="40s" duration="20s"><mc-source angleID="mic"/></mc-clip>)");
    EXPECT_THAT(placements(contentOf(description).assetClips),
                ElementsAre("Lav @0.0 0.0+20.0", "Camera @20.0 0.0+20.0"));
    EXPECT_THAT(linesOf(capture), Contains(errorPrefix + "mc-source doesn't have audio"));
}

TEST(MultiCamClip, PlacesTheAudioAngleAtTheMultiCamClip) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe(multicamMedia, R"(
        <mc-clip ref="mc" offset="10s" start="2s" duration="4s"><adjust-volume amount="-6dB"/>
            <mc-source angleID="mic" srcEnable="audio"/></mc-clip>)");
    const auto& content = contentOf(description);
    ASSERT_THAT(placements(content.assetClips), ElementsAre("Lav @10.0 2.0+4.0"));
    EXPECT_NEAR(*content.assetClips[0].clipVolume->adjustVolume, -18.0206f, 1e-4f);
    // 2 s into the angle lands at 12 s; 5 s lands at 15 s, past the end at 14 s.
    ASSERT_EQ(content.markers.size(), 1u);
    EXPECT_EQ(content.markers[0].clipTime.offset, seconds(12));
    EXPECT_EQ(content.markers[0].clipTime.start, seconds(12));
    EXPECT_THAT(linesOf(capture),
                ElementsAre("🚩 FCPXMLDescription+Parser+MultiCamClip.cpp:updateInteriorMarker("
                            "marker:containerClipTime:containerEndTime:tcStart:):* disposing "
                            "marker, out of bounds clip time"));

    // Audio of its own: from the audio in-point, for the audio length, shifted by their gap.
    const ClipTime container{.start = seconds(2),
                             .offset = seconds(10),
                             .duration = seconds(4),
                             .audioStart = seconds(3),
                             .audioDuration = seconds(3)};
    const auto place = [&container](const ClipTime& reported) {
        AssetClip clip{.clipTime = reported, .name = "Lav"};
        return placements({detail::TimelineWalker::updateInteriorClipWithContainerOffset(
            clip, container, seconds(10), seconds(0), std::nullopt, std::nullopt)})[0];
    };
    EXPECT_EQ(place({.duration = seconds(20)}), "Lav @11.0 3.0+3.0");
    // A clip starting later in the angle than the in-point loses that offset from its length.
    EXPECT_EQ(place({.start = seconds(1), .offset = seconds(5)}), "Lav @11.0 -1.0+-2.0");
}

TEST(MultiCamClip, FoldsItsVolumeFadesAndEffectsIntoTheAngleClips) {
    const ClipEffect eq{.uid = "eq"}, compressor{.uid = "comp"}, reverb{.uid = "verb"};
    const auto fold = [](const AssetClip& clip, std::optional<ClipVolume> volume,
                         std::optional<std::vector<ClipEffect>> effects) {
        return detail::TimelineWalker::updateInteriorClipWithContainerOffset(
            clip, ClipTime{}, seconds(0), seconds(0), volume, effects);
    };
    const ClipVolume container{.adjustVolume = -3.0f, .fadeOut = seconds(1)};
    EXPECT_EQ(fold({}, container, std::nullopt).clipVolume, container);
    const AssetClip faded{.clipVolume = ClipVolume{.fadeIn = seconds(2), .fadeOut = seconds(2)}};
    EXPECT_EQ(fold(faded, container, std::nullopt).clipVolume,
              (ClipVolume{.adjustVolume = -3.0f, .fadeIn = seconds(2), .fadeOut = seconds(1)}));

    const AssetClip withEffects{.effects = std::vector{eq, compressor}};
    EXPECT_EQ(fold(withEffects, std::nullopt, std::vector{reverb, eq, reverb}).effects,
              (std::vector{eq, compressor, reverb}));
}

TEST(MultiCamClip, LogsWhyItCannotFlattenAClip) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe(multicamMedia, R"(<mc-clip offset="0s" duration="1s"/>
        <mc-clip ref="nope" offset="1s" duration="1s"/>
        <mc-clip ref="seq" offset="2s" duration="1s"/>
        <mc-clip ref="mc" offset="3s" duration="1s"><mc-source srcEnable="all"/></mc-clip>
        <mc-clip ref="mc" offset="4s" duration="1s"><mc-source angleID="ghost" srcEnable="all"/>
        </mc-clip>
        <mc-clip ref="mc" offset="5s" duration="1s"><mc-source angleID="empty" srcEnable="all"/>
        </mc-clip>)");
    EXPECT_THAT(contentOf(description).assetClips, IsEmpty());
    const auto& mcClip = *description.document->root()->firstDescendant(
        [](const xmltree::XMLElement& element) { return element.name() == "mc-clip"; });
    EXPECT_FALSE(detail::TimelineWalker(description).parseMultiCamClip(mcClip, ClipTime{}, {}));
    EXPECT_THAT(linesOf(capture),
                ElementsAre(errorPrefix + "No ref found in mc-clip",
                            errorPrefix + "Didn't find <media> for ref nope",
                            errorPrefix + "<media> doesn't contain a <multicam> element",
                            errorPrefix + "Failed to find angleID in mc-source",
                            errorPrefix + "Failed to find mc-angle ghost source in multicam media",
                            errorPrefix + R"(No asset-clips found in <mc-angle angleID="empty"/>)",
                            errorPrefix + "This isn't a <mc-clip>"));
}

} // namespace
} // namespace kvnfcpx
