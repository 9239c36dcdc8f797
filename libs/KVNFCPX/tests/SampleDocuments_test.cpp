#include <algorithm>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/DescribedError.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <map>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {
namespace {

const std::filesystem::path samples =
    std::filesystem::path(VELOTRACK_SOURCE_DIR) / "../shared/fcpxml-samples";

// Every document of the sample folder: plain files and bundles, by name.
std::vector<std::filesystem::path> sampleDocuments() {
    std::vector<std::filesystem::path> documents;
    for (const auto& entry : std::filesystem::directory_iterator(samples)) {
        const auto extension = entry.path().extension();
        if (extension == ".fcpxml" || extension == ".fcpxmld") {
            documents.push_back(entry.path());
        }
    }
    std::sort(documents.begin(), documents.end());
    return documents;
}

std::optional<FCPXMLDescription> loadSample(const std::filesystem::path& document) {
    const auto file = document.extension() == ".fcpxmld"
                          ? FCPXMLDescription::xmlFileInBundle(document)
                          : std::optional(document);
    return file ? FCPXMLDescription::fromFile(*file) : std::nullopt;
}

// What a document is known to hold, worked out by reading it.
struct Expectation {
    Version version = Version::v1_11;
    bool hasProject = true;
    std::optional<std::string> startTimecode{};
};

const std::map<std::string, Expectation>& expectations() {
    static const std::map<std::string, Expectation> known{
        {"24With25Media.fcpxml", {.startTimecode = "01:00:00:00"}},
        {"29.97d.fcpxml", {.startTimecode = "00:00:00;00"}},
        {"AudioOnly.fcpxml", {.startTimecode = "00:00:00:00"}},
        {"AuditionMarkers.fcpxml", {.startTimecode = "01:00:00:00"}},
        {"BasicMarkers.fcpxml", {.version = Version::v1_9}},
        {"BasicMarkers_1HourProjectStart.fcpxml",
         {.version = Version::v1_9, .startTimecode = "01:00:00:00"}},
        {"MulticamMarkers.fcpxml", {.startTimecode = "01:00:00:00"}},
        {"StandaloneRefClip.fcpxml", {.hasProject = false}},
        {"SyncClipRoles.fcpxml", {.startTimecode = "00:59:50:00"}},
        {"fcpx_clips.fcpxml", {.version = Version::v1_8, .hasProject = false}},
        {"fcpx_example.fcpxml", {.version = Version::v1_8}},
        {"2997fps-rubric-clips.fcpxmld", {.version = Version::v1_13}},
        {"60fps-rubric-compound-clips.fcpxmld", {.version = Version::v1_13}},
        {"60fps-rubric-markers.fcpxmld",
         {.version = Version::v1_13, .startTimecode = "00:00:00:00"}},
    };
    return known;
}

// Holds for every flattened document: only valid entries, clips that carry their own asset,
// and no more markers than the document has marker elements.
void expectConsistentContent(const FCPXMLDescription& description) {
    const auto& sequence = description.project->sequence;
    if (!sequence || !sequence->content) {
        return;
    }
    for (const auto& clip : sequence->content->assetClips) {
        EXPECT_TRUE(clip.clipTime.isValid);
        EXPECT_EQ(clip.asset->id, clip.ref);
        EXPECT_NE(description.asset(clip.ref), nullptr) << clip.ref;
    }
    const auto markerElements =
        description.document->root()->allDescendants([](const xmltree::XMLElement& e) {
            return e.name() == "marker" || e.name() == "chapter-marker";
        });
    EXPECT_LE(sequence->content->markers.size(), markerElements.size());
    for (const auto& marker : sequence->content->markers) {
        EXPECT_TRUE(marker.clipTime.isValid);
    }
}

TEST(SampleDocuments, EveryRealDocumentLoadsOrIsRefusedWithItsMessage) {
    if (!std::filesystem::is_directory(samples)) {
        GTEST_SKIP() << "sample documents not found at " << samples;
    }
    koltutils::ScopedLogCapture quiet;
    const auto documents = sampleDocuments();
    ASSERT_GE(documents.size(), 20u);
    for (const auto& document : documents) {
        const std::string name = document.filename().string();
        SCOPED_TRACE(name);
        if (name == "HiddenMarkers.fcpxml") {
            try {
                loadSample(document);
                ADD_FAILURE() << "a 1.14 document was accepted";
            } catch (const koltutils::DescribedError& error) {
                EXPECT_STREQ(error.what(), "Sorry, fcpxml 1.14 isn't supported. Please use "
                                           "1.6, 1.7, 1.8, 1.9, 1.10, 1.11, 1.12 or 1.13");
            }
            continue;
        }
        const auto description = loadSample(document);
        ASSERT_TRUE(description);
        const auto known = expectations().find(name);
        const Expectation expected = known == expectations().end() ? Expectation{} : known->second;
        EXPECT_EQ(description->version, expected.version);
        EXPECT_TRUE(description->resources);
        ASSERT_EQ(description->project.has_value(), expected.hasProject);
        if (!expected.hasProject) {
            continue;
        }
        if (expected.startTimecode) {
            const auto start = description->projectStartTimecode();
            ASSERT_TRUE(start);
            EXPECT_EQ(start->stringValue(), *expected.startTimecode);
        }
        expectConsistentContent(*description);
    }
}

} // namespace
} // namespace kvnfcpx
