// The folder commands of the built tool: files, tidy, next-name and watch.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

std::string contentsOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

Strings linesOf(const std::string& text) {
    Strings lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs in a folder under the build folder (GIO does not trash on tmpfs), with the tool's Trash
// in it too (XDG_DATA_HOME), and removes it afterwards.
class VelotrackFolders : public testing::Test {
protected:
    void SetUp() override {
        const auto root = fs::path(VELOTRACK_EXECUTABLE).parent_path().parent_path() / "test-tmp";
        fs::create_directories(root);
        std::string name = (root / "cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        scratch = name;
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
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (scratch / (tag + ".out")).c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (scratch / (tag + ".err")).c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::string program = VELOTRACK_EXECUTABLE;
        std::vector<char*> argv{program.data()};
        for (auto& word : arguments) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        Strings environment{"XDG_DATA_HOME=" + (scratch / "data").string()};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            if (std::string_view(*variable).rfind("XDG_DATA_HOME=", 0) != 0) {
                environment.emplace_back(*variable);
            }
        }
        std::vector<char*> envp;
        for (auto& variable : environment) {
            envp.push_back(variable.data());
        }
        envp.push_back(nullptr);
        pid_t child = -1;
        const int spawned =
            posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0) << "could not run " << program;
        return spawned == 0 ? child : -1;
    }

    Outcome finish(const std::string& tag, pid_t child) const {
        Outcome outcome;
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child) {
            ADD_FAILURE() << tag << " did not run";
            return outcome;
        }
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        outcome.out = contentsOf(scratch / (tag + ".out"));
        outcome.err = contentsOf(scratch / (tag + ".err"));
        return outcome;
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
