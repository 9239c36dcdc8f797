#include "ContainerTestSupport.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

namespace kvnfcpx {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using testing::containers::contentOf;
using testing::containers::namesOf;
using testing::containers::seconds;

const std::filesystem::path projectFolder = VELOTRACK_SOURCE_DIR;
const std::filesystem::path samples = projectFolder / "../shared/fcpxml-samples";

FCPXMLDescription load(const std::filesystem::path& file) {
    auto description = FCPXMLDescription::fromFile(file);
    if (!description) {
        ADD_FAILURE() << "could not load " << file;
        return {};
    }
    return std::move(*description);
}

// The clips' names gathered by group, groups in order of first appearance; clips outside any
// container under "-".
std::vector<std::vector<std::string>> namesByGroup(const std::vector<AssetClip>& clips) {
    std::vector<std::vector<std::string>> groups;
    std::map<std::string, std::size_t> positions;
    for (const auto& clip : clips) {
        const auto [entry, isNew] =
            positions.try_emplace(clip.groupId.value_or("-"), groups.size());
        if (isNew) {
            groups.emplace_back();
        }
        groups[entry->second].push_back(clip.name.value_or("?"));
    }
    return groups;
}

struct Placement {
    timecode::CMTime offset;
    timecode::CMTime start;
    timecode::CMTime duration;

    friend bool operator==(const Placement&, const Placement&) = default;
    friend std::ostream& operator<<(std::ostream& stream, const Placement& placement) {
        return stream << "{" << placement.offset << ", " << placement.start << ", "
                      << placement.duration << "}";
    }
};

Placement placementOf(const AssetClip& clip) {
    return {clip.clipTime.offset, clip.clipTime.start, clip.clipTime.duration};
}

TEST(NestedContainers, FlattenEveryCombinationTwoLevelsDeep) {
    koltutils::ScopedLogCapture capture;
    const auto description =
        load(projectFolder / "libs/KVNFCPX/tests/data/containers-nested.fcpxml");
    const auto& clips = contentOf(description).assetClips;
    ASSERT_THAT(namesOf(clips), ElementsAre("Shot line", "Scene music", "Boom mic", "Host",
                                            "Synced music", "Shot line", "Alternate music"));
    const std::vector<Placement> expected{
        {seconds(0), seconds(10), seconds(8)},  {seconds(8), seconds(0), seconds(4)},
        {seconds(12), seconds(5), seconds(10)}, {seconds(22), seconds(100), seconds(10)},
        {seconds(24), seconds(0), seconds(4)},  {seconds(32), seconds(10), seconds(8)},
        {seconds(32), seconds(0), seconds(8)},
    };
    for (std::size_t index = 0; index < clips.size(); ++index) {
        EXPECT_EQ(placementOf(clips[index]), expected[index]) << *clips[index].name;
    }

    // The outermost compound clip's group covers everything flattened inside it.
    EXPECT_THAT(namesByGroup(clips),
                ElementsAre(ElementsAre("Shot line", "Scene music"), ElementsAre("Boom mic"),
                            ElementsAre("Host", "Alternate music"), ElementsAre("Synced music"),
                            ElementsAre("Shot line")));
    EXPECT_THAT(*clips[0].groupId, StartsWith("ref-clip_"));
    EXPECT_THAT(*clips[2].groupId, StartsWith("ref-clip_"));
    EXPECT_THAT(*clips[4].groupId, StartsWith("sync-clip_"));
    EXPECT_THAT(*clips[5].groupId, StartsWith("ref-clip_"));

    const auto& markers = contentOf(description).markers;
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].value, "On the host");
    EXPECT_EQ(markers[0].clipTime.offset, seconds(23));
    EXPECT_THAT(testing::containers::errorLines(capture), IsEmpty());
}

TEST(NestedContainers, ExampleDocumentsFlattenIntoTheirGroups) {
    const auto interview = load(projectFolder / "examples/multicam-interview.fcpxml");
    const auto& interviewClips = contentOf(interview).assetClips;
    // Multicam clips on the main timeline keep the timeline's (absent) group.
    EXPECT_THAT(namesByGroup(interviewClips),
                ElementsAre(ElementsAre("Theme", "Lav Recorder", "Lav Recorder")));
    ASSERT_EQ(interviewClips.size(), 3u);
    EXPECT_EQ(placementOf(interviewClips[1]), (Placement{seconds(8), seconds(20), seconds(25)}));
    EXPECT_EQ(placementOf(interviewClips[2]), (Placement{seconds(33), seconds(45), seconds(15)}));
    EXPECT_NEAR(*interviewClips[1].clipVolume->adjustVolume, -3.0f, 1e-6f);
    EXPECT_EQ(interviewClips[1].effects->size(), 1u);
    EXPECT_EQ(contentOf(interview).markers.size(), 3u);

    const auto scene = load(projectFolder / "examples/synced-scene-with-compound-bed.fcpxml");
    const auto& sceneClips = contentOf(scene).assetClips;
    EXPECT_THAT(namesByGroup(sceneClips),
                ElementsAre(ElementsAre("Recorder"), ElementsAre("Camera"),
                            ElementsAre("Room Tone", "Score")));
    ASSERT_EQ(sceneClips.size(), 4u);
    EXPECT_EQ(placementOf(sceneClips[0]), (Placement{seconds(0), seconds(0), seconds(20)}));
    EXPECT_EQ(placementOf(sceneClips[2]), (Placement{seconds(20), seconds(0), seconds(20)}));
    EXPECT_EQ(placementOf(sceneClips[3]), (Placement{seconds(25), seconds(0), seconds(10)}));
}

TEST(NestedContainers, RealExportsFlattenTheirContainers) {
    if (!std::filesystem::is_directory(samples)) {
        GTEST_SKIP() << "sample documents not found at " << samples;
    }
    koltutils::ScopedLogCapture quiet;
    // Compound clips inside compound clips hold titles and generators only: no clips, and
    // none of their markers reach the main timeline.
    const auto compound = load(samples / "CompoundClips.fcpxml");
    EXPECT_THAT(contentOf(compound).assetClips, IsEmpty());
    std::vector<std::string> markerValues;
    for (const auto& marker : contentOf(compound).markers) {
        markerValues.push_back(marker.value);
    }
    EXPECT_THAT(markerValues, ElementsAre("Marker On Title Compound Clip in Main Timeline",
                                          "Marker On Clouds Compound Clip in Main Timeline"));

    const auto sync = load(samples / "SyncClip.fcpxml");
    const auto& syncClips = contentOf(sync).assetClips;
    ASSERT_THAT(namesOf(syncClips), ElementsAre("TestVideo", "TestAudio"));
    EXPECT_EQ(placementOf(syncClips[0]), (Placement{seconds(0), seconds(0), seconds(2952, 100)}));
    EXPECT_THAT(*syncClips[0].groupId, StartsWith("sync-clip_"));
    // Connected to the source, walked with the timeline's group.
    EXPECT_FALSE(syncClips[1].groupId);
    EXPECT_EQ(contentOf(sync).markers.size(), 3u);

    const auto bundle =
        FCPXMLDescription::xmlFileInBundle(samples / "60fps-rubric-compound-clips.fcpxmld");
    ASSERT_TRUE(bundle);
    const auto rubric = load(*bundle);
    const auto& rubricClips = contentOf(rubric).assetClips;
    ASSERT_EQ(rubricClips.size(), 6u);
    for (std::size_t index = 0; index < rubricClips.size(); ++index) {
        const auto fiveSecondsIn = seconds(5 * static_cast<std::int64_t>(index));
        EXPECT_EQ(placementOf(rubricClips[index]),
                  (Placement{fiveSecondsIn, fiveSecondsIn, seconds(5)}));
    }
    EXPECT_EQ(namesByGroup(rubricClips).size(), 6u);
}

} // namespace
} // namespace kvnfcpx
