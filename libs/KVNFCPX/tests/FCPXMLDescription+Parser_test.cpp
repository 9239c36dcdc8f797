#include "TimelineTestSupport.h"

#include <algorithm>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <kvnfcpx/ParseLimits.h>
#include <sstream>
#include <string>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {
namespace {

using testing::clipsOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using testing::loadTimeline;
using testing::markersOf;
using testing::placements;
using ::testing::SizeIs;
using testing::twoAudioAssets;
using testing::withoutLineNumbers;

constexpr const char* parserFile = "FCPXMLDescription+Parser.cpp:";
constexpr const char* parseClipFunction =
    "parseClip(clipItem:element:tcStart:itemTime:parentTiming:groupId:):";

std::string errorLine(const std::string& function, const std::string& text) {
    return std::string("🚩 ") + parserFile + function + text;
}

TEST(FCPXMLDescriptionSpine, PlacesClipsAndMarkersInSequenceTime) {
    koltutils::ScopedLogCapture capture;
    const auto description = testing::loadTestDocument("SpineTimings.fcpxml");

    const auto& sequence = *description.project->sequence;
    EXPECT_EQ(sequence.tcStart, timecode::CMTime::make(3600, 1));
    EXPECT_EQ(sequence.duration, timecode::CMTime::make(60, 1));
    EXPECT_EQ(sequence.format, "r1");
    EXPECT_EQ(sequence.audioRate, 48000.0);
    EXPECT_EQ(sequence.audioLayout, Sequence::AudioLayout::stereo);
    EXPECT_EQ(sequence.tcFormat, Sequence::TimecodeFormat::nonDropFrame);

    // tcStart is removed from every offset; starts count from the beginning of the media file
    // (the interview's media begins at 3600 s); a connected clip's offset lies on its parent's
    // media timeline; the title and the clip under it are skipped; both takes of the audition
    // are read.
    EXPECT_THAT(placements(clipsOf(description)),
                ElementsAre("Interview A @10.0 5.0+10.0 dialogue",
                            "Tone @12.0 0.0+4.0 lane 1 effects",
                            "Tone in gap @22.0 0.0+3.0 lane 2 effects",
                            "Take 1 @50.0 0.0+5.0 dialogue", "Take 2 @50.0 100.0+5.0 dialogue"));
    // Markers inside the clip's range [5 s, 15 s) of its media stay; the one at the out-point
    // and the one on the spine (an empty range) are removed. Children of a transition count
    // from tcStart.
    EXPECT_THAT(placements(markersOf(description)),
                ElementsAre("At the in-point @10.0", "Just before the out-point @19.9",
                            "Chapter One @11.0 (chapter)", "In the transition @30.5"));

    const auto lines = withoutLineNumbers(capture.lines());
    EXPECT_THAT(lines, Contains(std::string(parserFile) +
                                "parseSequence(from:):🟢 Parsing <sequence> tcStart  3600.0 s "
                                "duration  60.0"));
    EXPECT_THAT(lines,
                Contains(std::string(parserFile) + "parseSequence(from:):parsed 5 assetClips"));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                                return line.find("isn't in timeRange of parent") !=
                                       std::string::npos;
                            }),
              2);
}

TEST(FCPXMLDescriptionSpine, RemovesClipsThatStartAfterTheirParentsEnd) {
    koltutils::ScopedLogCapture capture;
    const std::string spine = R"(<spine>
        <asset-clip ref="a1" name="Parent" offset="0s" duration="10s">
            <asset-clip ref="a2" lane="1" name="Inside" offset="8s" duration="5s"/>
            <asset-clip ref="a2" lane="1" name="At the end" offset="10s" duration="5s"/>
            <asset-clip ref="a2" lane="1" name="After the end" offset="12s" duration="5s"/>
        </asset-clip>
        <asset-clip ref="a1" name="Short audio" offset="20s" duration="10s" audioDuration="4s">
            <asset-clip ref="a2" lane="-1" name="After the audio" offset="5s" duration="1s"/>
        </asset-clip></spine>)";

    const auto atZero = loadTimeline(twoAudioAssets, R"(tcStart="0s")", spine);
    EXPECT_THAT(placements(clipsOf(atZero)),
                ElementsAre("Parent @0.0 0.0+10.0", "Inside @8.0 0.0+5.0 lane 1",
                            "At the end @10.0 0.0+5.0 lane 1", "Short audio @20.0 0.0+10.0"));
    EXPECT_THAT(testing::errorLines(capture.lines()),
                ElementsAre(errorLine(parseClipFunction, "__ Invalid clip, after parent end "
                                                         "time. Clip offset: 12.0 parentEndTime "
                                                         "10.0"),
                            errorLine(parseClipFunction, "__ Invalid clip, after parent end "
                                                         "time. Clip offset: 25.0 parentEndTime "
                                                         "24.0")));

    // The parent's end keeps tcStart while the clip's offset has lost it, so with a late
    // tcStart nothing is found to lie after its parent.
    const auto late = loadTimeline(twoAudioAssets, R"(tcStart="100s")",
                                   R"(<spine><asset-clip ref="a1" name="Parent" offset="100s"
                                      duration="10s"><asset-clip ref="a2" lane="1" name="After"
                                      offset="12s" duration="5s"/></asset-clip></spine>)");
    EXPECT_THAT(placements(clipsOf(late)),
                ElementsAre("Parent @0.0 0.0+10.0", "After @12.0 0.0+5.0 lane 1"));
}

TEST(FCPXMLDescriptionSpine, SkipsClipsItCannotReadWithTheirReasons) {
    koltutils::ScopedLogCapture capture;
    const auto description = loadTimeline(twoAudioAssets, R"(tcStart="0s")", R"(<spine>
        <asset-clip name="No ref" offset="0s" duration="1s"/>
        <asset-clip ref="nowhere" name="Unknown asset" offset="0s" duration="1s"/>
        <clip name="Picture" offset="0s" duration="1s"><video ref="a1"/></clip>
        <clip offset="0s" duration="1s"/>
        <asset-clip ref="a1" name="Kept" offset="1s" duration="1s"/></spine>)");

    EXPECT_THAT(placements(clipsOf(description)), ElementsAre("Kept @1.0 0.0+1.0"));
    const auto lines = withoutLineNumbers(capture.lines());
    std::vector<std::string> skipLines;
    std::copy_if(
        lines.begin(), lines.end(), std::back_inserter(skipLines),
        [](const std::string& line) { return line.find("Skipping") != std::string::npos; });
    EXPECT_THAT(
        skipLines,
        ElementsAre(std::string(parserFile) + parseClipFunction +
                        "Skipping 'asset-clip'. Failed to find 'ref'",
                    errorLine(parseClipFunction, "Skipping 'asset-clip'. Failed to find 'asset'"),
                    errorLine(parseClipFunction, "Skipping clip 'Picture'. No audio."),
                    errorLine(parseClipFunction, "Skipping clip '?'. No audio.")));
}

TEST(FCPXMLDescriptionSpine, KeepsOneOfEqualClipsAndMarkers) {
    koltutils::ScopedLogCapture quiet;
    const auto twins = loadTimeline(twoAudioAssets, R"(tcStart="0s")", R"(<spine>
        <asset-clip ref="a1" name="Twice" offset="0s" duration="5s">
            <marker start="1s" duration="1s" value="Twice marked"/>
            <marker start="1s" duration="1s" value="Twice marked"/>
        </asset-clip>
        <asset-clip ref="a1" name="Twice" offset="0s" duration="5s"/></spine>)");
    EXPECT_THAT(placements(clipsOf(twins)), ElementsAre("Twice @0.0 0.0+5.0"));
    EXPECT_THAT(placements(markersOf(twins)), ElementsAre("Twice marked @1.0"));

    // Twenty clips on the spine, and the same twenty again from inside a gap: lists from
    // inside containers are taken as they are, and only a compound clip reduces the whole list
    // (keeping the first of equal clips, in order).
    std::string clips;
    for (int i = 0; i < 20; ++i) {
        clips += "<asset-clip ref=\"a1\" name=\"c" + std::to_string(i) + "\" offset=\"" +
                 std::to_string(i) + "s\" duration=\"1s\"/>";
    }
    const std::string spine = "<spine>" + clips + "<gap offset=\"0s\">" + clips + "</gap>";
    const auto asTheyAre = loadTimeline(twoAudioAssets, R"(tcStart="0s")", spine + "</spine>");
    EXPECT_THAT(clipsOf(asTheyAre), SizeIs(40));

    const auto reduced = loadTimeline(twoAudioAssets, R"(tcStart="0s")",
                                      spine + R"(<ref-clip ref="m1" offset="30s"/></spine>)");
    const auto reducedClips = clipsOf(reduced);
    ASSERT_THAT(reducedClips, SizeIs(20));
    for (int i = 0; i < 20; ++i) {
        // Appended, not `"c" + std::to_string(i)`: GCC 12 at -O3 reports a false -Wrestrict
        // inside the inlined insertion of a literal before a temporary string.
        EXPECT_EQ(reducedClips[static_cast<std::size_t>(i)].name,
                  std::string("c").append(std::to_string(i)));
    }
}

TEST(FCPXMLDescriptionSpine, SkipsWhatLiesDeeperThanTheNestingBound) {
    // Each gap holds a clip and the next gap, 300 levels deep.
    std::string nested;
    for (int level = 300; level >= 1; --level) {
        nested = "<gap offset=\"0s\"><asset-clip ref=\"a1\" name=\"level " + std::to_string(level) +
                 "\" offset=\"0s\" duration=\"1s\"/>" + nested + "</gap>";
    }
    koltutils::ScopedLogCapture capture;
    const auto description =
        loadTimeline(twoAudioAssets, R"(tcStart="0s")", "<spine>" + nested + "</spine>");

    // The sequence's walk is the first level and the spine's the second; the clip of gap k is
    // read by the walk at level k + 2.
    const auto clips = clipsOf(description);
    ASSERT_THAT(clips, SizeIs(maxTimelineNesting - 2));
    EXPECT_EQ(clips.back().name, "level " + std::to_string(maxTimelineNesting - 2));
    EXPECT_THAT(withoutLineNumbers(capture.lines()),
                Contains(errorLine("parseItems(from:tcStart:parentTiming:groupId:):",
                                   "Skipping 2 elements nested deeper than 256 levels")));
}

TEST(FCPXMLDescriptionSpine, SequenceWithoutClipsOrMarkersHasNoContent) {
    koltutils::ScopedLogCapture capture;
    const auto description = loadTimeline(twoAudioAssets, R"(tcStart="bad" audioRate="44.1")",
                                          R"(<spine><title offset="0s"/></spine>)");
    const auto& sequence = *description.project->sequence;
    EXPECT_FALSE(sequence.content);
    EXPECT_EQ(sequence.tcStart, timecode::CMTime::zero);
    EXPECT_EQ(sequence.audioRate, std::nullopt);
    EXPECT_EQ(sequence.duration, std::nullopt);
    EXPECT_THAT(
        withoutLineNumbers(capture.lines()),
        ElementsAre(std::string(parserFile) +
                        "parseSequence(from:):🟢 Parsing <sequence> tcStart  0.0 s "
                        "duration  0.0",
                    std::string(parserFile) + "parseSequence(from:):parsed nil assetClips"));
}

// ---- Real exports ---------------------------------------------------------------------------

std::optional<FCPXMLDescription> loadSample(const std::string& name) {
    const auto path = testing::sampleDocuments / name;
    const auto file = path.extension() == ".fcpxmld" ? FCPXMLDescription::xmlFileInBundle(path)
                                                     : std::optional(path);
    return file ? FCPXMLDescription::fromFile(*file) : std::nullopt;
}

#define SKIP_WITHOUT_SAMPLES()                                                                     \
    if (!std::filesystem::is_directory(testing::sampleDocuments))                                  \
    GTEST_SKIP() << "sample documents not found at " << testing::sampleDocuments

TEST(FCPXMLDescriptionSpineSamples, ComplexProjectKeepsRolesMutesAndMarkersOfItsClips) {
    SKIP_WITHOUT_SAMPLES();
    koltutils::ScopedLogCapture quiet;
    const auto description = loadSample("Complex.fcpxml");
    ASSERT_TRUE(description);

    // Both spine clips are muted (-96 dB); the roles come from the channel sources; the second
    // connected clip lies on its parent's timeline, 142.04 s into the sequence.
    const auto clips = clipsOf(*description);
    EXPECT_THAT(
        placements(clips),
        ElementsAre("Nature Makes You Happy @0.0 0.0+142.04 dialogue.dialogue-1 muted",
                    "Interstellar Soundtrack - No Time for Caution @0.0 0.0+246.27188194444443 "
                    "lane -1 music.music-1",
                    "Is This The Land of Fire or Ice @142.04 0.0+205.8 dialogue.dialogue-1 "
                    "muted",
                    "Interstellar Soundtrack - No Time for Caution @236.3861125 "
                    "34.69799444444445+211.5738875 lane -1 effects.effects-1"));
    ASSERT_TRUE(clips[3].clipVolume);
    EXPECT_EQ(clips[3].clipVolume->fadeIn, timecode::CMTime::make(21334926, 720000));

    // Markers of titles and generators are skipped with them; every other marker lies inside
    // the clip that holds it.
    const auto markers = markersOf(*description);
    EXPECT_THAT(markers, SizeIs(21));
    const auto liesInAClip = [&clips](const Marker& marker) {
        return std::any_of(clips.begin(), clips.end(), [&marker](const AssetClip& clip) {
            const auto& time = clip.clipTime;
            return time.offset <= marker.clipTime.offset &&
                   marker.clipTime.offset < time.offset + time.duration;
        });
    };
    EXPECT_TRUE(std::all_of(markers.begin(), markers.end(), liesInAClip));
    EXPECT_EQ(std::count_if(markers.begin(), markers.end(),
                            [](const Marker& marker) {
                                return marker.kind() == Marker::MarkerKind::chapter;
                            }),
              5);
}

TEST(FCPXMLDescriptionSpineSamples, ConnectedClipsOfAVersion18ProjectLandOnTheTimeline) {
    SKIP_WITHOUT_SAMPLES();
    koltutils::ScopedLogCapture quiet;
    const auto description = loadSample("fcpx_example.fcpxml");
    ASSERT_TRUE(description);
    // The clip inside the gap counts from the gap's start (3600 s), the connected audio from
    // its parent's start (5.07 s). Clips flattened out of the compound clip carry a group id
    // and are left to the compound clip's own tests.
    auto clips = clipsOf(*description);
    std::erase_if(clips, [](const AssetClip& clip) { return clip.groupId.has_value(); });
    EXPECT_THAT(
        placements(clips),
        ElementsAre("IMG_0023 @0.0 0.0+7.933333333333334 dialogue",
                    "IMG_0715 @0.3 0.0+5.6 lane 2 dialogue",
                    "IMG_0715 @9.366666666666667 5.6+3.3333333333333335 lane 2 dialogue",
                    "IMG_0268 @10.933333333333334 5.066666666666666+31.8 dialogue",
                    "Audio Test @20.24997777777778 0.0+27.25002222222222 lane -1 dialogue"));
}

TEST(FCPXMLDescriptionSpineSamples, MarkersLandWhereTheirClipsPlaceThem) {
    SKIP_WITHOUT_SAMPLES();
    koltutils::ScopedLogCapture quiet;
    // Three copies of one clip, two with connected audio: the same markers recur relative to
    // each copy and to its connected clip.
    const auto audioOnly = loadSample("AudioOnly.fcpxml");
    ASSERT_TRUE(audioOnly);
    EXPECT_THAT(placements(markersOf(*audioOnly)),
                ElementsAre("Marker 3 @41.815358333333336", "Marker 4 @57.221016666666664",
                            "Marker 1 @8.319941666666667", "Marker 2 @26.688647222222222",
                            "Marker 3 @129.21241666666666", "Marker 4 @144.618075",
                            "Marker 1 @72.92615", "Marker 2 @91.29485555555556",
                            "Marker 1 @137.53235833333332", "Marker 2 @155.9010638888889"));

    const auto bundle = loadSample("60fps-rubric-markers.fcpxmld");
    ASSERT_TRUE(bundle);
    EXPECT_THAT(placements(markersOf(*bundle)),
                ElementsAre("Marker 1 @5.0", "Marker 2 @10.0", "Marker 3 @15.0", "Marker 4 @20.0",
                            "Marker 5 @25.0"));

    // All markers of these projects sit on a title (in the last, inside an audition), which is
    // skipped with them.
    for (const char* name : {"BasicMarkers.fcpxml", "BasicMarkers_1HourProjectStart.fcpxml",
                             "AuditionMarkers.fcpxml"}) {
        const auto titlesOnly = loadSample(name);
        ASSERT_TRUE(titlesOnly);
        EXPECT_FALSE(titlesOnly->project->sequence->content) << name;
    }
}

// The option lets go of the main timeline's items and of nothing the walk may read again: the
// compound and multicam media keep their timelines, the rest of the tree stays.
TEST(FCPXMLDescriptionSpine, ReleasingTheMainTimelineKeepsTheResources) {
    std::ifstream file(testing::testData / "containers-nested.fcpxml", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const auto load = [&](bool release) {
        return FCPXMLDescription::fromDocument(
            xmltree::XMLDocument::fromText(text.str(), xmltree::XMLOptions::standard()),
            ParserOptions{.stableIdentifiers = true, .releaseMainTimeline = release});
    };
    const auto whole = load(false);
    const auto lean = load(true);

    const auto spineOf = [](const FCPXMLDescription& description) {
        return description.document->root()
            ->child("library")
            ->child("event")
            ->child("project")
            ->child("sequence")
            ->child("spine");
    };
    EXPECT_THAT(spineOf(whole)->children(), SizeIs(::testing::Ge(2u)));
    EXPECT_FALSE(spineOf(lean)->error());
    EXPECT_THAT(spineOf(lean)->children(), SizeIs(0u));
    ASSERT_TRUE(lean.resources);
    for (const auto& media : lean.resources->media) {
        ASSERT_TRUE(media.child) << media.id;
        EXPECT_FALSE(media.child->children().empty()) << media.id;
    }
    EXPECT_EQ(clipsOf(lean), clipsOf(whole));
    EXPECT_FALSE(clipsOf(lean).empty());
}

} // namespace
} // namespace kvnfcpx
