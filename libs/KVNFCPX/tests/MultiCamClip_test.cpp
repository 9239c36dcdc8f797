#include "ContainerTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvnfcpx {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::containers::contentOf;
using testing::containers::describe;
using testing::containers::errorLines;
using testing::containers::namesOf;
using testing::containers::seconds;

constexpr const char* errorPrefix =
    "🚩 FCPXMLDescription+Parser+MultiCamClip.cpp:"
    "parseMultiCamClip(element:tcStart:itemTime:parentTiming:groupId:):";

// A camera angle and a lavalier angle at -6 dB with an effect and two markers, 20 s each.
constexpr const char* multicamMedia =
    R"(<media id="mc"><multicam>)"
    R"(<mc-angle angleID="cam"><asset-clip ref="a1" name="Camera" offset="0s" duration="20s"/>)"
    R"(</mc-angle><mc-angle angleID="mic">)"
    R"(<asset-clip ref="a2" name="Lav" offset="0s" duration="20s">)"
    R"(<adjust-volume amount="-6dB"/><filter-audio ref="fx"/>)"
    R"(<marker start="2s" duration="1s" value="Inside"/>)"
    R"(<marker start="5s" duration="1s" value="Past the end"/>)"
    R"(</asset-clip></mc-angle><mc-angle angleID="empty"/></multicam></media>)"
    R"(<media id="seq"><sequence/></media>)";

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
    EXPECT_THAT(namesOf(contentOf(description).assetClips), ElementsAre("Lav", "Camera"));
    EXPECT_THAT(errorLines(capture),
                Contains(std::string(errorPrefix) + "mc-source doesn't have audio"));
}

TEST(MultiCamClip, PlacesTheAudioAngleAtTheMultiCamClip) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe(multicamMedia, R"(
        <mc-clip ref="mc" offset="10s" start="2s" duration="4s">
            <adjust-volume amount="-6dB"/>
            <mc-source angleID="mic" srcEnable="audio"/>
        </mc-clip>)");
    const auto& content = contentOf(description);
    ASSERT_THAT(namesOf(content.assetClips), ElementsAre("Lav"));
    const AssetClip& lav = content.assetClips[0];
    EXPECT_EQ(lav.clipTime.offset, seconds(10));
    EXPECT_EQ(lav.clipTime.start, seconds(2));
    EXPECT_EQ(lav.clipTime.duration, seconds(4));
    EXPECT_FALSE(lav.groupId);
    ASSERT_TRUE(lav.clipVolume && lav.clipVolume->adjustVolume);
    EXPECT_NEAR(*lav.clipVolume->adjustVolume, -18.0206f, 1e-4f);

    // 2 s into the angle lands at 12 s; 5 s lands at 15 s, past the end at 14 s.
    ASSERT_EQ(content.markers.size(), 1u);
    EXPECT_EQ(content.markers[0].value, "Inside");
    EXPECT_EQ(content.markers[0].clipTime.offset, seconds(12));
    EXPECT_EQ(content.markers[0].clipTime.start, seconds(12));
    EXPECT_THAT(errorLines(capture),
                ElementsAre("🚩 FCPXMLDescription+Parser+MultiCamClip.cpp:updateInteriorMarker("
                            "marker:containerClipTime:containerEndTime:tcStart:):* disposing "
                            "marker, out of bounds clip time"));
}

TEST(MultiCamClip, TakesTheAudioRangeOfTheContainer) {
    AssetClip angleClip;
    angleClip.clipTime = {.start = seconds(0), .offset = seconds(0), .duration = seconds(20)};
    ClipTime container{.start = seconds(2),
                       .offset = seconds(10),
                       .duration = seconds(4),
                       .clipItem = ClipItem::mcClip};
    const auto place = [&](const ClipTime& reported) {
        AssetClip clip = angleClip;
        clip.clipTime = reported;
        return FCPXMLDescription::updateInteriorClipWithContainerOffset(
                   clip, container, container.offset, seconds(0), std::nullopt, std::nullopt)
            .clipTime;
    };

    container.audioStart = seconds(3);
    container.audioDuration = seconds(3);
    const ClipTime separateAudio = place(angleClip.clipTime);
    EXPECT_EQ(separateAudio.start, seconds(3));
    EXPECT_EQ(separateAudio.offset, seconds(11));
    EXPECT_EQ(separateAudio.duration, seconds(3));

    // A clip that begins later in the angle than the in-point loses its offset from the length.
    const ClipTime later =
        place({.start = seconds(1), .offset = seconds(5), .duration = seconds(9)});
    EXPECT_EQ(later.start, seconds(-1));
    EXPECT_EQ(later.duration, seconds(-2));
}

TEST(MultiCamClip, FoldsItsVolumeFadesAndEffectsIntoTheAngleClips) {
    const ClipEffect eq{.name = "EQ", .uid = "eq"};
    const ClipEffect compressor{.name = "Compressor", .uid = "comp"};
    const ClipEffect reverb{.name = "Reverb", .uid = "verb"};
    const auto fold = [](AssetClip clip, std::optional<ClipVolume> volume,
                         std::optional<std::vector<ClipEffect>> effects) {
        return FCPXMLDescription::updateInteriorClipWithContainerOffset(
            std::move(clip), ClipTime{}, seconds(0), seconds(0), volume, effects);
    };

    AssetClip plain;
    const ClipVolume containerVolume{.adjustVolume = -3.0f, .fadeOut = seconds(1)};
    EXPECT_EQ(fold(plain, containerVolume, std::nullopt).clipVolume, containerVolume);
    EXPECT_EQ(fold(plain, std::nullopt, std::nullopt).clipVolume, std::nullopt);

    AssetClip faded;
    faded.clipVolume = ClipVolume{.fadeIn = seconds(2), .fadeOut = seconds(2)};
    EXPECT_EQ(fold(faded, containerVolume, std::nullopt).clipVolume,
              (ClipVolume{.adjustVolume = -3.0f, .fadeIn = seconds(2), .fadeOut = seconds(1)}));
    faded.clipVolume->adjustVolume = 4.0f;
    EXPECT_EQ(fold(faded, ClipVolume{.fadeIn = seconds(1)}, std::nullopt).clipVolume,
              (ClipVolume{.adjustVolume = 4.0f, .fadeIn = seconds(1), .fadeOut = seconds(2)}));

    AssetClip withEffects;
    withEffects.effects = std::vector{eq, compressor};
    EXPECT_EQ(fold(withEffects, std::nullopt, std::vector{reverb, eq, reverb}).effects,
              (std::vector{eq, compressor, reverb}));
    EXPECT_EQ(fold(plain, std::nullopt, std::vector<ClipEffect>{}).effects,
              std::vector<ClipEffect>{});
    EXPECT_EQ(fold(withEffects, std::nullopt, std::nullopt).effects, withEffects.effects);
}

TEST(MultiCamClip, LogsWhyItCannotFlattenAClip) {
    koltutils::ScopedLogCapture capture;
    const auto description = describe(multicamMedia, R"(
        <mc-clip offset="0s" duration="1s"/>
        <mc-clip ref="nope" offset="1s" duration="1s"/>
        <mc-clip ref="seq" offset="2s" duration="1s"/>
        <mc-clip ref="mc" offset="3s" duration="1s"><mc-source srcEnable="all"/></mc-clip>
        <mc-clip ref="mc" offset="4s" duration="1s">
            <mc-source angleID="ghost" srcEnable="all"/></mc-clip>
        <mc-clip ref="mc" offset="5s" duration="1s">
            <mc-source angleID="empty" srcEnable="all"/></mc-clip>)");
    EXPECT_THAT(contentOf(description).assetClips, IsEmpty());
    const auto& mcClip = testing::containers::elementNamed(description, "mc-clip");
    EXPECT_FALSE(description.parseMultiCamClip(mcClip, seconds(0), ClipTime{}, {}, std::nullopt));

    const std::string prefix = errorPrefix;
    EXPECT_THAT(errorLines(capture),
                ElementsAre(prefix + "No ref found in mc-clip",
                            prefix + "Didn't find <media> for ref nope",
                            prefix + "<media> doesn't contain a <multicam> element",
                            prefix + "Failed to find angleID in mc-source",
                            prefix + "Failed to find mc-angle ghost source in multicam media",
                            prefix + R"(No asset-clips found in <mc-angle angleID="empty"/>)",
                            prefix + "This isn't a <mc-clip>"));
}

} // namespace
} // namespace kvnfcpx
