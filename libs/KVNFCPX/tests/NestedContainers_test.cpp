#include "ContainerTestSupport.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvnfcpx {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace testing::containers;

const std::filesystem::path projectFolder = VELOTRACK_SOURCE_DIR;

FCPXMLDescription load(const std::filesystem::path& file) {
    auto description = FCPXMLDescription::fromFile(file);
    return description ? std::move(*description) : FCPXMLDescription{};
}

TEST(NestedContainers, FlattenEveryCombinationTwoLevelsDeep) {
    koltutils::ScopedLogCapture capture;
    // A compound clip in a compound clip, a multicam clip in a compound clip, a sync clip
    // connected to a clip, a compound clip in an audition; the sequence starts at one hour.
    const auto description =
        load(projectFolder / "libs/KVNFCPX/tests/data/containers-nested.fcpxml");
    const auto& content = contentOf(description);
    EXPECT_THAT(placements(content.assetClips),
                ElementsAre("Shot line @0.0 10.0+8.0", "Scene music @8.0 0.0+4.0",
                            "Boom mic @12.0 5.0+10.0", "Host @22.0 100.0+10.0",
                            "Synced music @24.0 0.0+4.0", "Shot line @32.0 10.0+8.0",
                            "Alternate music @32.0 0.0+8.0"));
    // The outermost compound clip's group covers everything flattened inside it.
    EXPECT_THAT(groupsOf(content.assetClips), ElementsAre("ref-clip 1", "ref-clip 1", "ref-clip 2",
                                                          "-", "sync-clip 3", "ref-clip 4", "-"));
    ASSERT_EQ(content.markers.size(), 1u);
    EXPECT_EQ(content.markers[0].value, "On the host");
    EXPECT_THAT(linesOf(capture), IsEmpty());
}

TEST(NestedContainers, ExampleDocumentsFlattenIntoTheirGroups) {
    // Multicam clips on the main timeline keep its (absent) group.
    const auto interview = contentOf(load(projectFolder / "examples/multicam-interview.fcpxml"));
    EXPECT_THAT(placements(interview.assetClips),
                ElementsAre("Theme @0.0 0.0+8.0", "Lav Recorder @8.0 20.0+25.0",
                            "Lav Recorder @33.0 45.0+15.0"));
    EXPECT_THAT(groupsOf(interview.assetClips), ElementsAre("-", "-", "-"));

    const auto scene =
        contentOf(load(projectFolder / "examples/synced-scene-with-compound-bed.fcpxml"));
    EXPECT_THAT(placements(scene.assetClips),
                ElementsAre("Recorder @0.0 0.0+20.0", "Camera @0.0 0.0+20.0",
                            "Room Tone @20.0 0.0+20.0", "Score @25.0 0.0+10.0"));
    EXPECT_THAT(groupsOf(scene.assetClips),
                ElementsAre("sync-clip 1", "sync-clip 2", "ref-clip 3", "ref-clip 3"));
}

TEST(NestedContainers, RealExportsFlattenTheirContainers) {
    const auto samples = projectFolder / "../shared/fcpxml-samples";
    if (!std::filesystem::is_directory(samples)) {
        GTEST_SKIP() << "sample documents not found at " << samples;
    }
    koltutils::ScopedLogCapture quiet;
    // Compound clips inside compound clips that hold titles and generators: no clips, and
    // none of their markers reach the main timeline.
    const auto compound = contentOf(load(samples / "CompoundClips.fcpxml"));
    EXPECT_THAT(compound.assetClips, IsEmpty());
    ASSERT_EQ(compound.markers.size(), 2u);
    EXPECT_EQ(compound.markers[1].value, "Marker On Clouds Compound Clip in Main Timeline");
    EXPECT_EQ(compound.markers[1].clipTime.offset, seconds(25));

    // The audio connected to the source is walked with the timeline's group.
    const auto sync = contentOf(load(samples / "SyncClip.fcpxml"));
    EXPECT_THAT(placements(sync.assetClips),
                ElementsAre("TestVideo @0.0 0.0+29.52", "TestAudio @0.0 0.0+5.201269444444445"));
    EXPECT_THAT(groupsOf(sync.assetClips), ElementsAre("sync-clip 1", "-"));
}

} // namespace
} // namespace kvnfcpx
