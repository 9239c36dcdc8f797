// `velotrack exec`, run as a user runs it: the built program in a process of its own.

#include "ToolRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using namespace velotrack::testing;

class VelotrackExec : public testing::Test {
protected:
    void SetUp() override {
        directory = makeTemporaryFolder(fs::temp_directory_path(), "velotrack-exec-");
        ASSERT_FALSE(directory.empty());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    Outcome exec(std::vector<std::string> words) const {
        words.insert(words.begin(), {"exec", "--"});
        return runTool(std::move(words), directory);
    }

    fs::path directory;
};

TEST_F(VelotrackExec, PrintsOutputThenErrorOutputWhateverTheToolsStatus) {
    const std::string script = "printf 'to err' >&2; printf 'line 1\\nline 2'; exit 7";
    const auto byPath = exec({"/bin/sh", "-c", script});
    EXPECT_EQ(byPath.status, 0);
    EXPECT_EQ(byPath.out, "line 1\nline 2\nto err\n");
    EXPECT_EQ(byPath.err, "");
    // A bare name is looked up on PATH; options after the tool belong to the tool.
    const auto byName = exec({"sh", "-c", script, "--help"});
    EXPECT_EQ(byName.status, 0);
    EXPECT_EQ(byName.out, byPath.out);
    EXPECT_EQ(exec({"true"}).out, "\n\n");
}

TEST_F(VelotrackExec, AToolThatCannotBeLaunchedIsOneLineAndStatusOne) {
    const auto missing = exec({"/nonexistent/velotrack-tool", "x"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("velotrack: cannot run /nonexistent/velotrack-tool: ", 0), 0u)
        << missing.err;
    EXPECT_EQ(missing.err.find('\n'), missing.err.size() - 1);

    const auto unknown = exec({"velotrack-no-such-tool"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "velotrack: cannot run velotrack-no-such-tool: not found on PATH\n");
}

} // namespace
