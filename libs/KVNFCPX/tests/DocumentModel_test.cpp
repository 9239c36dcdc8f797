#include <gtest/gtest.h>
#include <kvnfcpx/AssetClip.h>
#include <kvnfcpx/ClipTime.h>
#include <kvnfcpx/Marker.h>
#include <kvnfcpx/Sequence.h>
#include <unordered_set>

namespace kvnfcpx {
namespace {

using timecode::CMTime;

TEST(ClipTime, EffectiveAudioTimesFallBackToTheVideoTimes) {
    const ClipTime video{.start = CMTime::make(5, 1), .duration = CMTime::make(10, 1)};
    EXPECT_EQ(video.effectiveAudioStart(), CMTime::make(5, 1));
    EXPECT_EQ(video.effectiveAudioDuration(), CMTime::make(10, 1));
    EXPECT_EQ(video.audioStartOffset(), CMTime::zero);

    ClipTime audio = video;
    audio.audioStart = CMTime::make(13, 2);
    audio.audioDuration = CMTime::make(4, 1);
    EXPECT_EQ(audio.effectiveAudioStart(), CMTime::make(13, 2));
    EXPECT_EQ(audio.effectiveAudioDuration(), CMTime::make(4, 1));
    EXPECT_EQ(audio.audioStartOffset(), CMTime::make(3, 2));
    // Audio that starts before the video shifts nothing.
    audio.audioStart = CMTime::make(4, 1);
    EXPECT_EQ(audio.audioStartOffset(), CMTime::zero);
}

TEST(ClipTime, TimeRangeIncludesItsStartAndExcludesItsEnd) {
    const ClipTime parent{.start = CMTime::make(5, 1), .duration = CMTime::make(10, 1)};
    const auto range = parent.timeRange();
    EXPECT_TRUE(range.contains(CMTime::make(5, 1)));
    EXPECT_TRUE(range.contains(CMTime::make(149, 10)));
    EXPECT_FALSE(range.contains(CMTime::make(15, 1)));
    EXPECT_FALSE(range.contains(CMTime::make(49, 10)));
    EXPECT_FALSE(ClipTime{}.timeRange().contains(CMTime::zero));
}

TEST(ClipTime, DescribesItselfOnOneLine) {
    const ClipTime time{.start = CMTime::make(1, 2),
                        .offset = CMTime::make(10, 1),
                        .duration = CMTime::make(2, 1),
                        .clipItem = ClipItem::assetClip,
                        .isValid = false};
    EXPECT_EQ(time.description(), "ClipTime(asset-clip, invalid, start 0.5s, offset 10.0s, "
                                  "duration 2.0s, audioStart 0.0s, audioDuration 0.0s, "
                                  "timeRange 0.5s..<2.5s)");
}

TEST(ClipTime, EqualValuesHashEquallyAcrossTimescales) {
    const ClipTime halves{.start = CMTime::make(1, 2), .duration = CMTime::make(3, 2)};
    const ClipTime quarters{.start = CMTime::make(2, 4), .duration = CMTime::make(6, 4)};
    ASSERT_EQ(halves, quarters);
    EXPECT_EQ(std::hash<ClipTime>{}(halves), std::hash<ClipTime>{}(quarters));

    AssetClip clip{.ref = "r1", .clipTime = halves, .name = "Take 1"};
    AssetClip sameClip = clip;
    sameClip.clipTime = quarters;
    AssetClip laterClip = clip;
    laterClip.clipTime.offset = CMTime::make(1, 1);
    const std::unordered_set<AssetClip> clips{clip, sameClip, laterClip};
    EXPECT_EQ(clips.size(), 2u);

    const Marker marker{.value = "Intro", .clipTime = halves};
    const Marker sameMarker{.value = "Intro", .clipTime = quarters};
    EXPECT_EQ(std::unordered_set<Marker>({marker, sameMarker}).size(), 1u);
}

TEST(DocumentVocabulary, ReadsRawValuesExactly) {
    EXPECT_EQ(clipItemFromElementName("asset-clip"), ClipItem::assetClip);
    EXPECT_EQ(clipItemFromElementName("chapter-marker"), ClipItem::chapterMarker);
    EXPECT_EQ(clipItemFromElementName("Asset-Clip"), ClipItem::unknown);
    EXPECT_EQ(clipItemFromElementName("title"), ClipItem::unknown);
    EXPECT_TRUE(isClipGroupItem("audition"));
    EXPECT_FALSE(isClipGroupItem("asset-clip"));

    EXPECT_EQ(audioRateFromName("44.1k"), 44100.0);
    EXPECT_EQ(audioRateName(44100), "44.1k");
    EXPECT_EQ(audioRateFromName("44.1kHz"), std::nullopt);
    EXPECT_EQ(audioRateName(44000), std::nullopt);

    const Marker chapter{.clipTime = {.clipItem = ClipItem::chapterMarker}};
    EXPECT_EQ(koltutils::rawValue(chapter.kind()), "Chapter");
    EXPECT_EQ(koltutils::rawValue(Marker{}.kind()), "Comment");
}

} // namespace
} // namespace kvnfcpx
