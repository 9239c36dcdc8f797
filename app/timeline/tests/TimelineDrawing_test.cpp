#include "timeline/DocumentLoading.h"
#include "timeline/SvgWriter.h"
#include "timeline/TimelineDrawing.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <xmltree/XMLDocument.h>

namespace {

using velotrack::timeline::drawTimeline;
using velotrack::timeline::fittedText;
using velotrack::timeline::loadDocumentFile;
using velotrack::timeline::roleColor;
using velotrack::timeline::svgText;

const std::filesystem::path examples = std::filesystem::path(VELOTRACK_SOURCE_DIR) / "examples";

double attributeNumber(const xmltree::XMLElement& element, const std::string& name) {
    return std::stod(std::string(element.attribute(name).value_or("nan")));
}

class ExamplePicture : public ::testing::TestWithParam<std::string> {};

// Every clip of the example is one bar, in timeline order, whose x is the offset scaled from
// the sequence start, whose row is its lane's (higher lanes above), and whose name follows it.
TEST_P(ExamplePicture, EachClipBarLiesAtItsOffsetAndLane) {
    const auto loaded = loadDocumentFile(examples / GetParam());
    ASSERT_TRUE(loaded.description) << loaded.message;
    const auto& clips = loaded.description->project->sequence->content->assetClips;
    ASSERT_FALSE(clips.empty());

    const double width = 1400;
    const auto drawing = drawTimeline(*loaded.description, width);
    const auto svg = xmltree::XMLDocument::fromText(svgText(drawing));
    const auto root = svg->root();
    EXPECT_EQ(root->name(), "svg");
    EXPECT_EQ(attributeNumber(*root, "width"), width);

    const auto& children = root->children();
    std::vector<std::size_t> bars;
    for (std::size_t index = 0; index < children.size(); ++index) {
        if (children[index]->attribute("class") == "clip") {
            bars.push_back(index);
        }
    }
    ASSERT_EQ(bars.size(), clips.size());

    std::map<std::int64_t, double> rowOfLane;
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const auto& bar = *children[bars[i]];
        const auto& clip = clips[i];
        SCOPED_TRACE("clip " + clip.name.value_or("?"));
        EXPECT_EQ(bar.name(), "rect");
        const auto offset = clip.clipTime.offset;
        EXPECT_EQ(bar.attribute("data-offset"),
                  std::to_string(offset.value) + "/" + std::to_string(offset.timescale) + "s");
        const auto lane = clip.lane.value_or(0);
        EXPECT_EQ(bar.attribute("data-lane"), std::to_string(lane));

        const double expectedX = drawing.originX + offset.seconds() * drawing.pixelsPerSecond;
        EXPECT_NEAR(attributeNumber(bar, "x"), expectedX, 0.006);
        const double expectedWidth =
            std::max(1.0, clip.clipTime.duration.seconds() * drawing.pixelsPerSecond);
        EXPECT_NEAR(attributeNumber(bar, "width"), expectedWidth, 0.006);

        const double y = attributeNumber(bar, "y");
        const auto [row, inserted] = rowOfLane.emplace(lane, y);
        EXPECT_EQ(row->second, y) << "every clip of a lane shares its row";

        ASSERT_LT(bars[i] + 1, children.size());
        const auto& name = *children[bars[i] + 1];
        EXPECT_EQ(name.name(), "text");
        const auto shown = name.value().value_or("");
        if (!shown.empty() && !clip.name->empty()) {
            const auto kept = shown.ends_with("…") ? shown.substr(0, shown.size() - 3) : shown;
            EXPECT_TRUE(clip.name->starts_with(kept)) << shown;
        }
    }
    // Higher lanes sit above lower ones.
    for (auto it = rowOfLane.begin(); std::next(it) != rowOfLane.end(); ++it) {
        EXPECT_GT(it->second, std::next(it)->second);
    }

    std::size_t flags = 0;
    for (const auto& child : children) {
        const auto type = child->attribute("class");
        flags += type == "marker" || type == "chapter-marker";
    }
    EXPECT_EQ(flags, loaded.description->project->sequence->content->markers.size());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExamplePicture,
                         ::testing::Values("coastline-trailer-1.11.fcpxml",
                                           "harbour-documentary-1.8.fcpxml",
                                           "multicam-interview.fcpxml",
                                           "tide-tables-podcast-episode-12.fcpxmld"));

TEST(TimelineDrawing, RolesKeepTheEditorsColoursAndOthersAStableOne) {
    const auto dialogue = roleColor("dialogue.dialogue-1");
    EXPECT_EQ(dialogue, roleColor("dialogue"));
    EXPECT_NE(dialogue, roleColor("music"));
    EXPECT_NE(roleColor("music"), roleColor("effects"));
    // A custom role: its colour depends on its main role's name only.
    EXPECT_EQ(roleColor("Foley.steps"), roleColor("Foley"));
    EXPECT_NE(roleColor("Foley"), roleColor("Ambience"));
    // FNV-1a of "Foley" is hue 316; at saturation 0.55 and value 0.72 that is this colour.
    EXPECT_EQ(roleColor("Foley"), (velotrack::timeline::Color{184, 83, 157}));
}

TEST(TimelineDrawing, NamesAreShortenedToTheBarOrLeftOut) {
    EXPECT_EQ(fittedText("Narration", 200, 10), "Narration");
    EXPECT_EQ(fittedText("Narration", 30, 10), "Narr…");
    EXPECT_EQ(fittedText("Café Scène", 30, 10), "Café…");
    EXPECT_EQ(fittedText("Narration", 10, 10), "");
}

TEST(TimelineDrawing, AnEmptyProjectStillHasARulerAndALane) {
    const auto drawing = drawTimeline(kvnfcpx::FCPXMLDescription{}, 50);
    EXPECT_EQ(drawing.width, 200);
    EXPECT_GT(drawing.height, 0);
    EXPECT_FALSE(drawing.shapes.empty());
}

} // namespace
