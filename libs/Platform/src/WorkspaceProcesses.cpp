#include "WorkspaceProcesses.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace platform::workspace_processes {
namespace {

namespace fs = std::filesystem;

const fs::path processFolder = "/proc";

// Command lines are short; reading more would only let one odd process cost us memory.
constexpr std::size_t maximumCommandLineSize = 64 * 1024;

// The kernel keeps at most this many bytes of a process's command name.
constexpr std::size_t commandNameLength = 15;

// A script's interpreter sees the script as its first or, after one interpreter option from
// the "#!" line, second argument.
constexpr std::size_t scriptArgumentPositions = 2;

std::optional<int> processIdentifier(const fs::path& entry) {
    const auto name = entry.filename().string();
    int value = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), value);
    if (error != std::errc{} || end != name.data() + name.size() || value <= 0) {
        return std::nullopt;
    }
    return value;
}

std::string readLimited(const fs::path& file, std::size_t limit) {
    std::ifstream stream(file, std::ios::binary);
    std::string bytes(limit, '\0');
    stream.read(bytes.data(), static_cast<std::streamsize>(limit));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    return bytes;
}

std::vector<std::string> commandLine(const fs::path& process) {
    const auto bytes = readLimited(process / "cmdline", maximumCommandLineSize);
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\0', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        arguments.emplace_back(bytes, start, end - start);
        start = end + 1;
    }
    return arguments;
}

std::string commandName(const fs::path& process) {
    auto name = readLimited(process / "comm", commandNameLength + 1);
    while (!name.empty() && name.back() == '\n') {
        name.pop_back();
    }
    return name;
}

// The script an interpreter runs. The kernel names a process started from a "#!" script after
// the script's file, so an argument only counts when that name matches: `cat` reading a script
// does not run it.
std::optional<fs::path> scriptRunBy(const fs::path& process) {
    const auto arguments = commandLine(process);
    const auto name = commandName(process);
    for (std::size_t position = 1;
         position <= scriptArgumentPositions && position < arguments.size(); ++position) {
        const fs::path candidate = arguments[position];
        if (candidate.is_absolute() &&
            candidate.filename().string().substr(0, commandNameLength) == name) {
            return candidate;
        }
    }
    return std::nullopt;
}

// The fourth field of "stat", after the command name in parentheses (which may itself hold
// spaces and parentheses, hence the search for the last one).
int parentOf(const fs::path& process) {
    const auto stat = readLimited(process / "stat", 4096);
    const auto nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos || nameEnd + 4 >= stat.size()) {
        return 0;
    }
    const auto* begin = stat.data() + nameEnd + 4; // ") S " precedes the parent
    int parent = 0;
    std::from_chars(begin, stat.data() + stat.size(), parent);
    return parent;
}

std::optional<fs::path> binaryOf(const fs::path& process) {
    std::error_code error;
    const auto binary = fs::read_symlink(process / "exe", error);
    // A replaced binary reads "<path> (deleted)": that file is no longer what the process runs.
    static constexpr std::string_view deletedMark = " (deleted)";
    if (error || binary.native().ends_with(deletedMark)) {
        return std::nullopt;
    }
    return binary;
}

std::vector<std::string> mergedEnvironment(const Environment& extraEnvironment) {
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text = *entry;
        const auto name = text.substr(0, text.find('='));
        const bool replaced =
            std::any_of(extraEnvironment.begin(), extraEnvironment.end(),
                        [&](const auto& variable) { return variable.first == name; });
        if (!replaced) {
            entries.emplace_back(text);
        }
    }
    for (const auto& [name, value] : extraEnvironment) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (auto& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

bool isExecutableFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

// posix_spawn's attribute and file-action objects, released on every path out.
class SpawnSettings {
public:
    SpawnSettings() {
        posix_spawnattr_init(&attributes_);
        posix_spawn_file_actions_init(&actions_);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes_, &signals);
        sigfillset(&signals);
        posix_spawnattr_setsigdefault(&attributes_, &signals);
        posix_spawnattr_setflags(&attributes_,
                                 static_cast<short>(POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                    POSIX_SPAWN_SETSIGDEF));
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }

    const posix_spawnattr_t* attributes() const noexcept { return &attributes_; }
    const posix_spawn_file_actions_t* actions() const noexcept { return &actions_; }

private:
    posix_spawnattr_t attributes_{};
    posix_spawn_file_actions_t actions_{};
};

bool waitForExitSuccess(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) == -1) {
        if (errno == ECHILD) {
            return true; // someone else reaps children in this process
        }
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

std::vector<ProcessImage> liveProcesses() {
    std::vector<ProcessImage> processes;
    std::error_code error;
    for (fs::directory_iterator entry(processFolder, error), end; !error && entry != end;
         entry.increment(error)) {
        const auto identifier = processIdentifier(entry->path());
        if (!identifier) {
            continue;
        }
        ProcessImage image{*identifier, parentOf(entry->path()), {}};
        if (auto binary = binaryOf(entry->path())) {
            image.runFiles.push_back(std::move(*binary));
            if (auto script = scriptRunBy(entry->path())) {
                image.runFiles.push_back(std::move(*script));
            }
        }
        if (!image.runFiles.empty()) {
            processes.push_back(std::move(image));
        }
    }
    return processes;
}

bool launchDetached(const fs::path& program, const std::vector<std::string>& arguments,
                    const Environment& extraEnvironment) {
    if (!isExecutableFile(program)) {
        return false;
    }
    // A short-lived shell starts the program in the background and exits at once: the program
    // is then adopted by the system and never becomes our zombie. The program and its arguments
    // travel as positional parameters, so no quoting is involved.
    std::vector<std::string> argumentTexts{"sh", "-c", "\"$0\" \"$@\" &", program.string()};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    auto environmentTexts = mergedEnvironment(extraEnvironment);
    auto argumentPointers = pointersTo(argumentTexts);
    auto environmentPointers = pointersTo(environmentTexts);

    const SpawnSettings settings;
    pid_t shell = 0;
    if (posix_spawn(&shell, "/bin/sh", settings.actions(), settings.attributes(),
                    argumentPointers.data(), environmentPointers.data()) != 0) {
        return false;
    }
    return waitForExitSuccess(shell);
}

std::optional<fs::path> findInPath(std::string_view name) {
    const char* searchPath = std::getenv("PATH");
    std::string_view folders = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        const auto separator = folders.find(':');
        const auto folder = folders.substr(0, separator);
        if (!folder.empty()) {
            auto candidate = fs::path(folder) / name;
            if (isExecutableFile(candidate)) {
                return candidate;
            }
        }
        folders = separator == std::string_view::npos ? std::string_view{}
                                                      : folders.substr(separator + 1);
    }
    return std::nullopt;
}

} // namespace platform::workspace_processes
