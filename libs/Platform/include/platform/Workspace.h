#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The desktop's application services: where applications are installed, which of them run, and
// opening applications and web addresses.
//
// Applications are bundles: folders named "*.app" whose "Contents/Info.plist" names a
// "CFBundleIdentifier". Nothing is cached; every question looks at the machine as it is now.
class Workspace {
public:
    // How an application is launched.
    struct OpenConfiguration {
        // Bring the application to the front. The desktop here has no general way to raise
        // another program's window, so this is kept for callers but has no effect.
        bool activates = true;
        // When an instance with the same bundle identifier already runs, that instance answers
        // the request and no second one is started.
        bool allowsRunningApplicationSubstitution = false;
        // Variables added to (or replacing those of) the launcher's environment.
        std::vector<std::pair<std::string, std::string>> environment;

        bool operator==(const OpenConfiguration&) const = default;
    };

    // A live process that runs an application bundle's code.
    struct RunningApplication {
        int processIdentifier = 0;
        std::filesystem::path bundleURL;
        // The bundle's file the process runs: its binary, or the script its interpreter runs.
        std::filesystem::path executableURL;

        bool operator==(const RunningApplication&) const = default;
    };

    // What the file manager shows for a file.
    struct Icon {
        // The freedesktop.org icon-theme name of the file's kind.
        std::string themeName;
        // The bundle's own icon image ("CFBundleIconFile" in its resources), when it has one.
        std::optional<std::filesystem::path> imageFile;

        bool operator==(const Icon&) const = default;
    };

    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    virtual ~Workspace() = default;

    // The workspace of this machine. Application folders are those of the environment variable
    // VELOTRACK_APPLICATION_DIRS (folders separated by ":", searched in order) when it is set,
    // otherwise "/Applications", "~/Applications" and "/System/Applications". Web addresses go
    // to the program named by VELOTRACK_URL_OPENER when it is set, otherwise to "xdg-open".
    static const Workspace& shared();

    // Every installed bundle with this identifier, in search order (possibly none).
    virtual std::vector<std::filesystem::path>
    urlsForApplications(std::string_view bundleIdentifier) const = 0;

    // The preferred installed bundle with this identifier.
    virtual std::optional<std::filesystem::path>
    urlForApplication(std::string_view bundleIdentifier) const = 0;

    // The live processes that run a bundle with this identifier, wherever it is installed.
    virtual std::vector<RunningApplication>
    runningApplications(std::string_view bundleIdentifier) const = 0;

    // Launches the bundle's executable, detached from the caller. False when the folder is no
    // application bundle or the launch failed; the launched program itself is not watched.
    virtual bool openApplication(const std::filesystem::path& applicationURL,
                                 const OpenConfiguration& configuration) const = 0;

    // Launches the bundle's executable with the file as its one argument, detached from the
    // caller, as the desktop opens a document with a chosen application. False when the folder is
    // no application bundle, nothing exists at `file`, or the launch failed.
    virtual bool openFile(const std::filesystem::path& file,
                          const std::filesystem::path& applicationURL,
                          const OpenConfiguration& configuration) const = 0;

    // Hands a web address (or any URL) to the desktop's opener. False when there is no opener or
    // it could not be started.
    virtual bool openURL(std::string_view url) const = 0;

    // The icon of an existing file; none when nothing exists at the path.
    virtual std::optional<Icon> iconForFile(const std::filesystem::path& path) const = 0;
};

} // namespace platform
