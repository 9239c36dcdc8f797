#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The process side of the system workspace: which live processes run which files, and starting
// programs that outlive their launcher.
namespace platform::workspace_processes {

using Environment = std::vector<std::pair<std::string, std::string>>;

// A live process and the files it runs: its binary and, when it is an interpreter running a
// script, that script.
struct ProcessImage {
    int processIdentifier = 0;
    int parentProcessIdentifier = 0;
    std::vector<std::filesystem::path> runFiles;
};

// Every live process this user may inspect.
std::vector<ProcessImage> liveProcesses();

// Starts `program` with `arguments` in a session of its own, standard streams on /dev/null,
// with the caller's environment plus `extraEnvironment`. The program is not a child of the
// caller, so it never lingers as a zombie and is never waited for. False when the program is
// not an executable file or could not be started.
bool launchDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                    const Environment& extraEnvironment);

// The first executable file called `name` in the folders of PATH.
std::optional<std::filesystem::path> findInPath(std::string_view name);

} // namespace platform::workspace_processes
