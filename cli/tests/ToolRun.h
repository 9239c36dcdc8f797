// Running the built tool (or any program) in a process of its own, as a user runs it, and reading
// back what it printed. Output goes to files, not pipes, so a child writing much never blocks on
// a reader.

#pragma once

#include <algorithm>
#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace velotrack::testing {

using Strings = std::vector<std::string>;
// Variables set (or replaced) in the child's environment; the rest is inherited.
using Environment = std::map<std::string, std::string>;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline Strings linesOf(const std::string& text) {
    Strings lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Table cells are separated by two or more spaces; a cell may hold single ones ("-6.0 dB").
// `starts`, when given, receives each cell's column.
inline Strings cellsOf(const std::string& line, std::vector<std::size_t>* starts = nullptr) {
    Strings cells;
    for (auto i = line.find_first_not_of(' '); i != std::string::npos;
         i = line.find_first_not_of(' ', i)) {
        const auto end = std::min(line.find("  ", i), line.size());
        cells.push_back(line.substr(i, end - i));
        if (starts) {
            starts->push_back(i);
        }
        i = end;
    }
    return cells;
}

// A new, empty folder named `prefix` and six random characters inside `parent`; an empty path
// (and a test failure) when it cannot be made.
inline std::filesystem::path makeTemporaryFolder(const std::filesystem::path& parent,
                                                 const std::string& prefix) {
    std::error_code ignored;
    std::filesystem::create_directories(parent, ignored);
    std::string name = (parent / (prefix + "XXXXXX")).string();
    if (mkdtemp(name.data()) == nullptr) {
        ADD_FAILURE() << "could not make a folder in " << parent;
        return {};
    }
    return name;
}

// Starts `program` (looked up on PATH when it names no folder) with standard input read from
// `input` and standard output and error written to `out` and `err`. The child's id, or -1.
inline pid_t start(const std::string& program, Strings arguments, const std::filesystem::path& out,
                   const std::filesystem::path& err, const Environment& overrides = {},
                   const std::filesystem::path& input = "/dev/null") {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string name = program;
    std::vector<char*> argv{name.data()};
    for (auto& word : arguments) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    Strings entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (overrides.count(text.substr(0, text.find('='))) == 0) {
            entries.push_back(text);
        }
    }
    for (const auto& [key, value] : overrides) {
        entries.push_back(key + "=" + value);
    }
    std::vector<char*> envp;
    for (auto& entry : entries) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    pid_t child = -1;
    if (posix_spawnp(&child, name.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        child = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// Waits for `child` and reads what it printed. A child killed by a signal has status 128 + the
// signal's number, as a shell reports it.
inline Outcome finish(pid_t child, const std::filesystem::path& out,
                      const std::filesystem::path& err) {
    Outcome outcome;
    int status = 0;
    if (child <= 0 || waitpid(child, &status, 0) != child) {
        ADD_FAILURE() << "the program did not run";
        return outcome;
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = contentsOf(out);
    outcome.err = contentsOf(err);
    return outcome;
}

// Runs the built tool to its end; its output files are "stdout" and "stderr" in `folder`.
inline Outcome runTool(Strings arguments, const std::filesystem::path& folder,
                       const Environment& overrides = {},
                       const std::filesystem::path& input = "/dev/null") {
    const auto out = folder / "stdout";
    const auto err = folder / "stderr";
    return finish(start(VELOTRACK_EXECUTABLE, std::move(arguments), out, err, overrides, input),
                  out, err);
}

// A test with a fresh folder of its own, removed afterwards.
class FolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory = makeTemporaryFolder(std::filesystem::temp_directory_path(), "velotrack-");
        ASSERT_FALSE(directory.empty());
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    std::filesystem::path write(const std::string& name, const std::string& text) const {
        std::ofstream(directory / name, std::ios::binary) << text;
        return directory / name;
    }

    std::filesystem::path directory;
};

} // namespace velotrack::testing
