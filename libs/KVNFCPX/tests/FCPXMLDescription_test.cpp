// First, alone: what the model header brings with it is part of what is checked here.
#include <filesystem>
#include <gtest/gtest.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <set>
#include <thread>
#include <vector>

namespace kvnfcpx {
namespace {

template <typename T>
concept Complete = requires {
    sizeof(T);
};

// Clients of the model see the element tree's names only; the tree's headers (and expat's
// reader behind them) stay out of every program that merely reads descriptions.
static_assert(!Complete<xmltree::XMLDocument>);
static_assert(!Complete<xmltree::XMLElement>);

const std::filesystem::path examples = std::filesystem::path(VELOTRACK_SOURCE_DIR) / "examples";

// Compound, multicam and sync clips: every kind of group the walk makes.
const char* const containerExamples[] = {"multicam-interview.fcpxml",
                                         "synced-scene-with-compound-bed.fcpxml"};

FCPXMLDescription load(const std::filesystem::path& path, bool stableIdentifiers = true) {
    return FCPXMLDescription::loadFile(path, ParserOptions{.stableIdentifiers = stableIdentifiers});
}

TEST(FCPXMLDescriptionEquality, ComparesValuesAndLeavesTheElementTreeOut) {
    for (const char* name : containerExamples) {
        const auto first = load(examples / name);
        auto second = load(examples / name);
        ASSERT_NE(first.document, second.document);
        ASSERT_TRUE(first.resources && !first.resources->media.empty()) << name;
        EXPECT_EQ(first, second) << name;

        // Dropping the tree, with the media elements it holds, changes no value.
        second.document.reset();
        for (auto& media : second.resources->media) {
            media.child.reset();
        }
        EXPECT_EQ(first, second) << name;

        auto renamed = second;
        renamed.project->sequence->content->assetClips.back().name = "another name";
        EXPECT_NE(first, renamed) << name;
        auto otherOptions = second;
        otherOptions.parserOptions.stableIdentifiers = false;
        EXPECT_NE(first, otherOptions) << name;
    }
}

TEST(FCPXMLDescriptionEquality, RandomGroupIdentifiersMakeLoadsDiffer) {
    const auto path = examples / containerExamples[1];
    EXPECT_NE(load(path, false), load(path, false));
}

// Each load counts its own group identifiers, so loads running side by side, nested in one
// another's lifetime or on several threads, give what a load alone gives.
TEST(FCPXMLDescriptionWalk, LoadsKeepTheirStateToThemselves) {
    std::vector<FCPXMLDescription> alone;
    for (const char* name : containerExamples) {
        alone.push_back(load(examples / name));
    }
    std::vector<FCPXMLDescription> together(std::size(containerExamples) * 4);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < together.size(); ++index) {
        threads.emplace_back([&together, index] {
            const char* name = containerExamples[index % std::size(containerExamples)];
            together[index] = load(examples / name);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (std::size_t index = 0; index < together.size(); ++index) {
        EXPECT_EQ(together[index], alone[index % std::size(containerExamples)]) << index;
    }
}

// Letting go of the main timeline while walking it is a saving, never a change: every document
// here, containers, markers, auditions and bundles included, gives the description it gives
// when the tree is kept whole.
TEST(FCPXMLDescriptionWalk, ReleasingTheMainTimelineChangesNoValue) {
    std::set<std::filesystem::path> documents;
    const auto samples = std::filesystem::path(VELOTRACK_SOURCE_DIR) / "../shared/fcpxml-samples";
    for (const auto& folder : {examples, samples}) {
        if (!std::filesystem::is_directory(folder)) {
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension().string().starts_with(".fcpxml")) {
                documents.insert(entry.path());
            }
        }
    }
    std::size_t withClips = 0;
    for (const auto& path : documents) {
        ParserOptions options{.stableIdentifiers = true};
        FCPXMLDescription whole;
        try {
            whole = FCPXMLDescription::loadFile(path, options);
        } catch (const LoadingError&) {
            continue; // versions this engine refuses
        }
        options.releaseMainTimeline = true;
        auto lean = FCPXMLDescription::loadFile(path, options);
        lean.parserOptions.releaseMainTimeline = false;
        EXPECT_EQ(lean, whole) << path;
        EXPECT_EQ(lean.versionAsWritten(), whole.versionAsWritten()) << path;
        withClips += whole.project && whole.project->sequence && whole.project->sequence->content;
    }
    EXPECT_GE(withClips, 5u);
}

} // namespace
} // namespace kvnfcpx
