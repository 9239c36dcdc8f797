// The folder commands of the built tool: files, tidy, next-name and watch.

#include "ToolRun.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace velotrack::testing;

// Runs in a folder under the build folder (GIO does not trash on tmpfs), with the tool's Trash
// in it too (XDG_DATA_HOME), and removes it afterwards.
class VelotrackFolders : public testing::Test {
protected:
    void SetUp() override {
        scratch = makeTemporaryFolder(
            fs::path(VELOTRACK_EXECUTABLE).parent_path().parent_path() / "test-tmp", "cli-");
        ASSERT_FALSE(scratch.empty());
        work = scratch / "work";
        fs::create_directories(work);
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    fs::path file(const std::string& relative, const std::string& text = "") const {
        fs::create_directories((work / relative).parent_path());
        std::ofstream(work / relative, std::ios::binary) << text;
        return work / relative;
    }

    // Starts the tool; its output goes to files named after `tag`.
    pid_t start(const std::string& tag, Strings arguments) const {
        const pid_t child = velotrack::testing::start(
            VELOTRACK_EXECUTABLE, std::move(arguments), scratch / (tag + ".out"),
            scratch / (tag + ".err"), {{"XDG_DATA_HOME", (scratch / "data").string()}});
        EXPECT_NE(child, -1) << "could not run " << VELOTRACK_EXECUTABLE;
        return child;
    }

    Outcome finish(const std::string& tag, pid_t child) const {
        return velotrack::testing::finish(child, scratch / (tag + ".out"),
                                          scratch / (tag + ".err"));
    }

    Outcome run(Strings arguments) const {
        return finish("run", start("run", std::move(arguments)));
    }

    std::string path(const std::string& relative) const { return (work / relative).string(); }

    fs::path scratch;
    fs::path work;
};

TEST_F(VelotrackFolders, FilesListsWithTheListingOptions) {
    for (const auto* name : {"take10.mov", "Take2.mov", "take1.mov", "notes.txt", ".hidden.mov",
                             "Cut.fcpbundle/inner.mov", "sub/deep/clip.mov"}) {
        file(name);
    }
    const auto sorted =
        run({"files", work.string(), "--recursive", "--sorted", "--skip-hidden", "--extension",
             "mov", "--package-type", "fcpbundle", "--skip-package-contents"});
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(linesOf(sorted.out), (Strings{path("sub/deep/clip.mov"), path("take1.mov"),
                                            path("Take2.mov"), path("take10.mov")}));

    const auto folders = run({"files", work.string(), "--directories", "--recursive"});
    EXPECT_EQ(linesOf(folders.out), (Strings{path("sub"), path("sub/deep")}));
    const auto packages = run({"files", work.string(), "--packages", "--json"});
    EXPECT_EQ(linesOf(packages.out), (Strings{nlohmann::json(path("Cut.fcpbundle")).dump()}));

    const auto missing = run({"files", path("missing")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, path("missing") + " doesn't exist\n");
}

TEST_F(VelotrackFolders, TidyTrashesEmptyFoldersAndNextNameFindsAFreeOne) {
    fs::create_directories(work / "A/B/C");
    file("A/keep.txt", "x");
    file("D/.DS_Store", "x");
    const auto tidy = run({"tidy", work.string()});
    EXPECT_EQ(tidy.status, 0) << tidy.err;
    EXPECT_EQ(linesOf(tidy.out), (Strings{path("A/B/C"), path("A/B"), path("D")}));
    EXPECT_TRUE(fs::exists(scratch / "data/Trash/info/C.trashinfo"));
    EXPECT_EQ(run({"tidy", path("missing")}).status, 1);

    file("a.txt");
    file("a 1.txt");
    EXPECT_EQ(run({"next-name", path("a.txt")}).out, path("a 2.txt") + "\n");
    EXPECT_EQ(run({"next-name", path("a.txt"), "--delimiter", "_", "--suffix", "-v"}).out,
              path("a-v_1.txt") + "\n");
    EXPECT_EQ(run({"next-name", path("free.txt")}).out, path("free.txt") + "\n");
}

// The watchers run side by side: the settle time is the tool's own.
TEST_F(VelotrackFolders, WatchReportsSettledEventsAndEndsCleanly) {
    file("plain/old.txt", "x");
    fs::create_directories(work / "tree/sub");
    const auto plain = start("plain", {"watch", path("plain"), "--for", "6"});
    const auto tree = start("tree", {"watch", path("tree"), "--recursive", "--json", "--for", "7"});
    const auto interrupted = start("interrupted", {"watch", path("plain")});
    const auto missing = start("missing", {"watch", path("missing"), "--for", "1"});
    std::this_thread::sleep_for(1s); // the watchers start
    fs::rename(work / "plain/old.txt", work / "plain/new.txt");
    file("tree/sub/b.mov", "x");
    file("tree/sub/a.mov", "x");
    kill(interrupted, SIGINT);

    const auto plainOutcome = finish("plain", plain);
    EXPECT_EQ(plainOutcome.status, 0) << plainOutcome.err;
    EXPECT_EQ(linesOf(plainOutcome.out),
              (Strings{"removed\t" + path("plain/old.txt"), "new\t" + path("plain/new.txt")}));

    const auto treeOutcome = finish("tree", tree);
    EXPECT_EQ(treeOutcome.status, 0) << treeOutcome.err;
    const nlohmann::ordered_json expected{
        {"event", "new"},
        {"source", path("tree/sub")},
        {"files", {path("tree/sub/a.mov"), path("tree/sub/b.mov")}}};
    EXPECT_EQ(linesOf(treeOutcome.out), (Strings{expected.dump()}));

    EXPECT_EQ(finish("interrupted", interrupted).status, 0);
    const auto missingOutcome = finish("missing", missing);
    EXPECT_EQ(missingOutcome.status, 1);
    EXPECT_EQ(missingOutcome.err, "URL must be a directory\n");
}

} // namespace
