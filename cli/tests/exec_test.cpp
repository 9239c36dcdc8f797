// `velotrack exec`, run as a user runs it: the built program in a process of its own.

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ExecRun {
    int status = -1;
    std::string out;
    std::string err;
};

class VelotrackExec : public testing::Test {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "velotrack-exec-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        directory = name;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    static std::string contentsOf(const fs::path& path) {
        std::ifstream stream(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), {}};
    }

    // Output goes to files, so the tool's pipes are the only ones in play.
    ExecRun exec(std::vector<std::string> words) const {
        const auto out = directory / "stdout";
        const auto err = directory / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        std::string program = VELOTRACK_EXECUTABLE;
        words.insert(words.begin(), {program, "exec", "--"});
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        pid_t child = 0;
        ExecRun run;
        const int spawned =
            posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (spawned != 0 || waitpid(child, &status, 0) != child) {
            ADD_FAILURE() << "could not run " << program;
            return run;
        }
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.out = contentsOf(out);
        run.err = contentsOf(err);
        return run;
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
