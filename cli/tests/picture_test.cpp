// `picture` and `share` run in companion programs beside the tool; these tests go through the
// tool as users do, so they pin that the hand-over keeps arguments, standard input, output and
// exit statuses.

#include "ToolRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace velotrack::testing;

const fs::path examples = fs::path(VELOTRACK_SOURCE_DIR) / "examples";

class Picture : public FolderTest {
protected:
    Outcome run(Strings arguments, const fs::path& input = "/dev/null") const {
        return runTool(std::move(arguments), directory, {}, input);
    }
};

TEST_F(Picture, DrawsFromAPathOrStandardInputAlike) {
    const auto document = examples / "coastline-trailer-1.11.fcpxml";
    const auto byPath = directory / "path.svg";
    const auto piped = directory / "piped.svg";
    Outcome result = run({"picture", document.string(), "-o", byPath.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    result = run({"picture", "-", "--output", piped.string(), "--width", "800"}, document);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string svg = contentsOf(byPath);
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u) << svg.substr(0, 80);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(contentsOf(piped), svg) << "--width reached the drawing";

    const auto png = directory / "timeline.png";
    result = run({"picture", document.string(), "-o", png.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(contentsOf(png).substr(0, 8), "\x89PNG\r\n\x1A\n");
}

TEST_F(Picture, FailuresKeepTheirMessagesAndStatuses) {
    const auto refused = write("root.fcpxml", "<notfcpxml version=\"1.11\"/>");
    Outcome result = run({"picture", refused.string(), "-o", (directory / "a.svg").string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("This isn't a fcpxml document."), std::string::npos) << result.err;

    const auto document = (examples / "coastline-trailer-1.11.fcpxml").string();
    result = run({"picture", document, "-o", (directory / "a.gif").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              (directory / "a.gif").string() + ": the picture is written as .svg or .png\n");

    // Option errors are the companion's own parser's, with CLI11's status.
    result = run({"picture", document});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("--output is required"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(directory / "a.svg"));
}

TEST_F(Picture, HelpComesFromTheCompanionAndTheToolListsIt) {
    const Outcome help = run({"picture", "--help"});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_NE(help.out.find("picture [OPTIONS] path"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--width"), std::string::npos) << help.out;
    const Outcome shareHelp = run({"share", "--help"});
    EXPECT_EQ(shareHelp.status, 0) << shareHelp.err;
    EXPECT_NE(shareHelp.out.find("collection"), std::string::npos) << shareHelp.out;

    const Outcome tool = run({"--help"});
    EXPECT_NE(tool.out.find("Draws the timeline of an FCPXML document"), std::string::npos);
    EXPECT_NE(tool.out.find("The editor's share destination"), std::string::npos);
}

TEST_F(Picture, AMissingCompanionIsReported) {
    const auto alone = directory / "velotrack";
    fs::copy_file(VELOTRACK_EXECUTABLE, alone);
    const auto out = directory / "out";
    const auto err = directory / "err";
    const Outcome result = finish(
        start(alone.string(), {"picture", "x.fcpxml", "-o", "x.svg"}, out, err, {}, "/dev/null"),
        out, err);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("velotrack picture: cannot run " +
                                   (directory / "velotrack-picture").string() + " (",
                               0),
              0u)
        << result.err;
}

} // namespace
