#include "../src/ClipAudioReading.h"
#include "TimelineTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <string>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {
namespace {

using testing::clipsOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::placements;
using ::testing::SizeIs;
using timecode::CMTime;

// The root element of a small XML text.
xmltree::XMLElement::Ptr element(const std::string& xml) {
    return xmltree::XMLDocument::fromText(xml)->root();
}

std::optional<ClipVolume> volumeOf(const std::string& adjustVolume) {
    return detail::parseClipVolume(*element(adjustVolume));
}

TEST(FCPXMLDescriptionClipAudio, ReadsVolumeEffectsAndChannelSourcesOfEveryClip) {
    koltutils::ScopedLogCapture capture;
    const auto description = testing::loadTestDocument("ClipAudio.fcpxml");
    const auto clips = clipsOf(description);

    // Mute: disabled clip, inactive channel source, or -90 dB and below. A channel source's
    // role replaces the clip's. A clip without any audio element is skipped.
    EXPECT_THAT(placements(clips),
                ElementsAre("Voice with effects @0.0 0.0+10.0 dialogue",
                            "Score fading out @10.0 0.0+10.0 music",
                            "Inactive channels @20.0 0.0+10.0 dialogue.dialogue-2 muted",
                            "Quiet @30.0 0.0+10.0 dialogue", "Silent @40.0 0.0+10.0 dialogue muted",
                            "Disabled @50.0 0.0+10.0 dialogue muted",
                            "Nested audio @60.0 0.0+5.0 lane -1 music.score",
                            "Audio in a gap @70.0 0.0+5.0 dialogue"));
    EXPECT_THAT(testing::errorLines(capture.lines()),
                ElementsAre("🚩 FCPXMLDescription+Parser.cpp:parseClip(clipItem:element:tcStart:"
                            "itemTime:parentTiming:groupId:):Skipping clip 'Picture only'. No "
                            "audio."));
    ASSERT_THAT(clips, SizeIs(8));

    const ClipVolume gainAndFades{-6.0f, CMTime::make(1, 1), CMTime::make(2, 1)};
    EXPECT_EQ(clips[0].clipVolume, gainAndFades);
    EXPECT_EQ(clips[1].clipVolume, (ClipVolume{std::nullopt, std::nullopt, CMTime::make(3, 2)}));
    EXPECT_EQ(clips[2].clipVolume, std::nullopt);
    EXPECT_EQ(clips[3].clipVolume, ClipVolume{-89.0f});
    EXPECT_EQ(clips[5].clipVolume, std::nullopt) << "a gain that is no number";

    // Params need a name, a key and a numeric value, wherever they sit below the filter; a
    // filter whose effect is not among the resources is left out.
    ASSERT_TRUE(clips[0].effects);
    const auto& effects = *clips[0].effects;
    ASSERT_THAT(effects, SizeIs(2));
    EXPECT_EQ(effects[0].name, "Channel EQ");
    EXPECT_EQ(effects[0].uid, "FFAudioUnitEffect/aufx/chqz/appl");
    EXPECT_EQ(effects[0].presetID, "Voice Presence");
    EXPECT_TRUE(effects[0].enabled);
    EXPECT_EQ(effects[0].params,
              (std::vector<ClipEffect::Param>{
                  {"Gain", "1", -3.5f}, {"Band", "3", 2.0f}, {"Q", "3/1", 0.7f}}));
    ASSERT_TRUE(effects[0].effectState);
    EXPECT_THAT(*effects[0].effectState, SizeIs(766)) << "the base64 text decoded";
    EXPECT_EQ(effects[1],
              (ClipEffect{
                  .name = "Limiter", .uid = "FFAudioUnitEffect/aufx/lmtr/appl", .enabled = false}));
    EXPECT_THAT(clips[1].effects, ::testing::Optional(IsEmpty()));
    EXPECT_EQ(clips[2].effects, std::nullopt);
    EXPECT_EQ(clips[0].note, "Check the levels");

    // A `clip` plays the asset of its nested audio, whose own timing is kept beside.
    EXPECT_EQ(clips[6].ref, "a2");
    EXPECT_EQ(clips[6].asset->id, "a2");
    ASSERT_TRUE(clips[6].audioClipContent);
    const auto& content = *clips[6].audioClipContent;
    EXPECT_EQ(content.srcCh, (std::vector<std::int64_t>{1, 3}));
    EXPECT_EQ(content.clipTime.start, CMTime::make(2, 1));
    EXPECT_EQ(clips[7].ref, "a1");
    EXPECT_EQ(clips[0].audioClipContent, std::nullopt);
}

TEST(FCPXMLDescriptionClipAudio, ReadsGainInDecibelsAndFadeLengths) {
    const auto gain = [](const std::string& amount) -> std::optional<float> {
        const auto volume = volumeOf("<adjust-volume amount=\"" + amount + "\"/>");
        return volume ? volume->adjustVolume : std::nullopt;
    };
    const std::pair<const char*, std::optional<float>> gains[] = {
        {"-6dB", -6.0f},         {"+3dB", 3.0f},          {"0dB", 0.0f},
        {"-96dB", -96.0f},       {"-4.5", -4.5f},         {"loud", std::nullopt},
        {" -6dB", std::nullopt}, {"-6 dB", std::nullopt}, {"dB", std::nullopt}};
    for (const auto& [amount, expected] : gains) {
        EXPECT_EQ(gain(amount), expected) << amount;
    }

    // Only the first param named "amount" carries fades; other params and fade attributes
    // are not read.
    EXPECT_EQ(volumeOf(R"(<adjust-volume><param name="pan"><fadeIn duration="1s"/></param>
                          </adjust-volume>)"),
              std::nullopt);
    EXPECT_EQ(volumeOf(R"(<adjust-volume amount="oops"><param name="amount">
                          <fadeIn type="easeIn" duration="1001/24000s"/></param></adjust-volume>)"),
              (ClipVolume{std::nullopt, CMTime::make(1001, 24000), std::nullopt}));
    EXPECT_EQ(volumeOf(R"(<adjust-volume><param name="amount"><fadeOut duration="x"/></param>
                          </adjust-volume>)"),
              std::nullopt);

    EXPECT_TRUE(detail::isMutedByVolume(ClipVolume{-90.0f}));
    EXPECT_FALSE(detail::isMutedByVolume(ClipVolume{-89.99f}));
    EXPECT_FALSE(detail::isMutedByVolume(ClipVolume{std::nullopt, CMTime::zero}));
    EXPECT_FALSE(detail::isMutedByVolume(std::nullopt));
}

TEST(FCPXMLDescriptionClipAudio, ReadsNestedAudioElements) {
    const auto content = [](const std::string& xml) {
        return detail::parseClipContent(*element(xml));
    };
    const auto channels = [&content](const std::string& srcCh) {
        return content("<audio ref=\"a\" srcCh=\"" + srcCh + "\"/>")->srcCh;
    };
    using Channels = std::vector<std::int64_t>;
    EXPECT_EQ(channels("1, 2"), (Channels{1, 2}));
    EXPECT_EQ(channels("1,x,3"), (Channels{1, 3}));
    EXPECT_EQ(channels(" 7 ,&#10;8&#9;"), (Channels{7, 8}));
    // Unicode's spaces trim too: no-break, ideographic, next line, line separator.
    EXPECT_EQ(channels("1,\xC2\xA0"
                       "2,\xE3\x80\x80"
                       "3\xC2\x85,&#x2028;4"),
              (Channels{1, 2, 3, 4}));
    EXPECT_EQ(channels("+2,-1"), (Channels{2, -1}));
    EXPECT_EQ(channels("none"), Channels{});
    EXPECT_EQ(content(R"(<audio ref="a"/>)")->srcCh, std::nullopt);

    const auto withBothRoles =
        content(R"(<audio ref="a2" lane="-2" role="music" audioRole="music.score" start="3s"/>)");
    ASSERT_TRUE(withBothRoles);
    EXPECT_EQ(withBothRoles->contentType, ClipContent::ContentType::audio);
    EXPECT_EQ(withBothRoles->ref, "a2");
    EXPECT_EQ(withBothRoles->role, "music.score");
    EXPECT_EQ(withBothRoles->lane, -2);
    EXPECT_EQ(withBothRoles->clipTime.start, CMTime::make(3, 1));
    EXPECT_EQ(content(R"(<audio ref="a" role="dialogue" lane="one"/>)")->role, "dialogue");
    EXPECT_EQ(content(R"(<audio ref="a" lane="one"/>)")->lane, std::nullopt);

    EXPECT_EQ(content(R"(<video ref="v"/>)")->contentType, ClipContent::ContentType::video);
    EXPECT_EQ(content(R"(<audio role="dialogue"/>)"), std::nullopt);
    EXPECT_EQ(content(R"(<title ref="t"/>)"), std::nullopt);
}

} // namespace
} // namespace kvnfcpx
