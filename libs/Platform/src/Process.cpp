#include "platform/Process.h"

#include "WorkspaceProcesses.h"

#include <csignal>
#include <gio/gio.h>
#include <mutex>
#include <unistd.h>

namespace platform {
namespace {

std::string textOf(GBytes* bytes) {
    if (bytes == nullptr) {
        return {};
    }
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    return data == nullptr ? std::string{} : std::string(data, size);
}

struct BytesReleaser {
    void operator()(GBytes* bytes) const {
        if (bytes != nullptr) {
            g_bytes_unref(bytes);
        }
    }
};
using Bytes = std::unique_ptr<GBytes, BytesReleaser>;

// Runs in the child between fork and exec: only async-signal-safe calls belong here.
void lowerPriority(gpointer data) {
    const int niceness = *static_cast<const int*>(data);
    if (niceness != 0) {
        [[maybe_unused]] const int ignored = ::nice(niceness);
    }
}

} // namespace

struct Process::Child {
    mutable std::mutex mutex;
    State state = State::created;
    GSubprocess* subprocess = nullptr;

    ~Child() {
        if (subprocess != nullptr) {
            g_object_unref(subprocess);
        }
    }
};

Process::Process(std::filesystem::path executable, std::vector<std::string> arguments,
                 Options options)
    : executable_(std::move(executable)), arguments_(std::move(arguments)),
      options_(std::move(options)), child_(std::make_unique<Child>()) {}

Process::Process(std::filesystem::path executable, std::vector<std::string> arguments)
    : Process(std::move(executable), std::move(arguments), Options{}) {}

Process::~Process() = default;

void Process::launch() {
    {
        const std::lock_guard lock(child_->mutex);
        if (child_->state != State::created) {
            throw std::logic_error("platform::Process: launched twice");
        }
    }
    // A bare name would be looked up on PATH; the executable is a file location, so it is taken
    // relative to the working folder instead.
    auto program = executable_;
    if (!program.has_parent_path()) {
        program = std::filesystem::path(".") / program;
    }
    std::vector<std::string> texts{program.string()};
    texts.insert(texts.end(), arguments_.begin(), arguments_.end());
    std::vector<const char*> argv;
    for (const auto& text : texts) {
        argv.push_back(text.c_str());
    }
    argv.push_back(nullptr);

    const auto pipes = static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE |
                                                     G_SUBPROCESS_FLAGS_STDERR_PIPE);
    GSubprocessLauncher* launcher =
        g_subprocess_launcher_new(options_.capturesOutput ? pipes : G_SUBPROCESS_FLAGS_NONE);
    for (const auto& [name, value] : options_.environment) {
        g_subprocess_launcher_setenv(launcher, name.c_str(), value.c_str(), TRUE);
    }
    if (options_.workingDirectory) {
        g_subprocess_launcher_set_cwd(launcher, options_.workingDirectory->c_str());
    }
    int niceness = options_.niceness;
    if (niceness != 0) {
        g_subprocess_launcher_set_child_setup(launcher, lowerPriority, &niceness, nullptr);
    }
    GError* error = nullptr;
    GSubprocess* subprocess = g_subprocess_launcher_spawnv(launcher, argv.data(), &error);
    g_object_unref(launcher);
    if (subprocess == nullptr) {
        std::string reason = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw ProcessLaunchError(reason);
    }
    const std::lock_guard lock(child_->mutex);
    child_->subprocess = subprocess;
    child_->state = State::running;
}

Process::Termination Process::waitUntilExit() {
    GSubprocess* subprocess = nullptr;
    {
        const std::lock_guard lock(child_->mutex);
        if (child_->subprocess == nullptr) {
            throw std::logic_error("platform::Process: waited for before launch");
        }
        subprocess = child_->subprocess;
    }
    GBytes* output = nullptr;
    GBytes* errorOutput = nullptr;
    GError* error = nullptr;
    const bool drained =
        g_subprocess_communicate(subprocess, nullptr, nullptr, &output, &errorOutput, &error);
    const Bytes outputBytes(output);
    const Bytes errorBytes(errorOutput);
    if (!drained) {
        g_clear_error(&error);
        // The pipes failed; the exit status still tells how the tool ended.
        g_subprocess_wait(subprocess, nullptr, nullptr);
    }
    Termination termination{textOf(outputBytes.get()), textOf(errorBytes.get()), 0, false};
    if (g_subprocess_get_if_signaled(subprocess)) {
        termination.signalled = true;
        termination.status = 128 + g_subprocess_get_term_sig(subprocess);
    } else {
        termination.status = g_subprocess_get_exit_status(subprocess);
    }
    const std::lock_guard lock(child_->mutex);
    child_->state = State::finished;
    return termination;
}

bool Process::terminate() {
    const std::lock_guard lock(child_->mutex);
    if (child_->state != State::running) {
        return false;
    }
    // GLib sends the signal from the thread that reaps children, so a tool that has just exited
    // is never confused with a new process that got its number.
    g_subprocess_send_signal(child_->subprocess, SIGTERM);
    return true;
}

Process::State Process::state() const {
    const std::lock_guard lock(child_->mutex);
    return child_->state;
}

std::optional<std::filesystem::path> findExecutable(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        if (::access(name.c_str(), X_OK) == 0 && !std::filesystem::is_directory(name)) {
            return std::filesystem::path(name);
        }
        return std::nullopt;
    }
    return workspace_processes::findInPath(name);
}

} // namespace platform
