#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// A tool started as a child process with its standard output and standard error captured.
//
//   platform::Process process{"/bin/ls", {"-l"}};
//   process.launch();                     // throws ProcessLaunchError
//   auto finished = process.waitUntilExit();
//
// Both pipes are drained at the same time while waiting, so a tool that writes megabytes to one
// of them before touching the other never blocks on a full pipe. Standard input is inherited, as
// the platform's task does by default. `terminate()` may be called from any thread while another
// thread waits.
class Process {
public:
    struct Options {
        // Variables added to (or replacing those of) the caller's environment.
        std::vector<std::pair<std::string, std::string>> environment;
        // The child's working folder; the caller's when unset.
        std::optional<std::filesystem::path> workingDirectory;
        // Added to the child's scheduling niceness (0 keeps the caller's priority).
        int niceness = 0;
        // False: the child writes to the caller's standard output and error, and the
        // termination's texts stay empty.
        bool capturesOutput = true;
    };

    struct Termination {
        std::string standardOutput;
        std::string standardError;
        // The exit status, or 128 plus the signal number for a tool ended by a signal, as shells
        // report it.
        int status = 0;
        bool signalled = false;
    };

    enum class State { created, running, finished };

    Process(std::filesystem::path executable, std::vector<std::string> arguments);
    Process(std::filesystem::path executable, std::vector<std::string> arguments, Options options);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts the tool. Throws ProcessLaunchError with the system's reason when it cannot be
    // started, and std::logic_error when this process was launched before.
    void launch();

    // Blocks until the tool has exited and both pipes are at their end. Only after launch().
    Termination waitUntilExit();

    // Sends the tool SIGTERM. False (and nothing sent) when it is not running. A tool that left
    // children holding its pipes is finished only when they close them.
    bool terminate();

    State state() const;
    bool isRunning() const { return state() == State::running; }

    const std::filesystem::path& executable() const { return executable_; }
    const std::vector<std::string>& arguments() const { return arguments_; }

private:
    struct Child;

    std::filesystem::path executable_;
    std::vector<std::string> arguments_;
    Options options_;
    std::unique_ptr<Child> child_;
};

// The tool could not be started; what() is the system's reason.
class ProcessLaunchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The first executable file called `name` in the folders of PATH; `name` itself when it holds a
// "/" and is an executable file.
std::optional<std::filesystem::path> findExecutable(const std::string& name);

} // namespace platform
