#include "platform/Workspace.h"

#include "WorkspaceProcesses.h"
#include "platform/Bundle.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <unordered_set>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view applicationFoldersVariable = "VELOTRACK_APPLICATION_DIRS";
constexpr std::string_view urlOpenerVariable = "VELOTRACK_URL_OPENER";
constexpr std::string_view desktopOpener = "xdg-open";

// Applications sit in an application folder or in a vendor's folder inside it
// ("/Applications/Adobe Premiere Pro 2024/Adobe Premiere Pro 2024.app"); looking a few levels
// deep finds those and keeps a look-up bounded however large or cyclic the folders are.
constexpr int applicationSearchDepth = 3;

std::optional<std::string> environmentValue(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::vector<fs::path> applicationFolders() {
    std::vector<fs::path> folders;
    if (const auto configured = environmentValue(applicationFoldersVariable)) {
        std::string_view rest = *configured;
        while (!rest.empty()) {
            const auto separator = rest.find(':');
            if (const auto folder = rest.substr(0, separator); !folder.empty()) {
                folders.push_back(fs::absolute(fs::path(folder)).lexically_normal());
            }
            rest = separator == std::string_view::npos ? std::string_view{}
                                                       : rest.substr(separator + 1);
        }
        return folders;
    }
    folders.emplace_back("/Applications");
    if (const auto home = environmentValue("HOME"); home && !home->empty()) {
        folders.push_back(fs::path(*home) / "Applications");
    }
    folders.emplace_back("/System/Applications");
    return folders;
}

bool isBundleFolderName(const fs::path& path) {
    return path.extension() == ".app" && !path.stem().empty();
}

std::vector<fs::path> sortedEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        entries.push_back(entry->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Depth first, entries by name, so the search order is the same on every call.
void collectBundles(const fs::path& folder, int depthLeft, std::vector<Bundle>& bundles) {
    for (const auto& entry : sortedEntries(folder)) {
        std::error_code error;
        if (!fs::is_directory(entry, error)) {
            continue;
        }
        if (isBundleFolderName(entry)) {
            if (auto bundle = Bundle::atPath(entry)) {
                bundles.push_back(std::move(*bundle));
            }
        } else if (depthLeft > 1) {
            collectBundles(entry, depthLeft - 1, bundles);
        }
    }
}

std::vector<Bundle> installedBundles() {
    std::vector<Bundle> bundles;
    for (const auto& folder : applicationFolders()) {
        collectBundles(folder, applicationSearchDepth, bundles);
    }
    return bundles;
}

// The innermost bundle a file lies in: a helper application nested inside another bundle is an
// application of its own.
std::optional<Bundle> bundleContaining(const fs::path& file) {
    for (auto folder = file.parent_path(); folder.has_relative_path();
         folder = folder.parent_path()) {
        if (isBundleFolderName(folder)) {
            if (auto bundle = Bundle::atPath(folder)) {
                return bundle;
            }
        }
    }
    return std::nullopt;
}

// A process forked by a running application runs the same code until it starts another program;
// it is part of that application, not a second instance.
std::vector<Workspace::RunningApplication>
withoutForkedCopies(std::vector<Workspace::RunningApplication> running,
                    const std::vector<int>& parents) {
    std::unordered_set<int> identifiers;
    for (const auto& application : running) {
        identifiers.insert(application.processIdentifier);
    }
    std::vector<Workspace::RunningApplication> instances;
    for (std::size_t index = 0; index < running.size(); ++index) {
        if (!identifiers.contains(parents[index])) {
            instances.push_back(std::move(running[index]));
        }
    }
    return instances;
}

std::optional<fs::path> urlOpener() {
    if (auto configured = environmentValue(urlOpenerVariable); configured && !configured->empty()) {
        return fs::path(*configured);
    }
    return workspace_processes::findInPath(desktopOpener);
}

fs::path bundleIconFile(const Bundle& bundle) {
    fs::path name = bundle.infoString("CFBundleIconFile").value_or("");
    if (!name.empty() && !name.has_extension()) {
        name += ".icns";
    }
    return name.empty() ? fs::path{} : bundle.resourcesPath() / name.filename();
}

class SystemWorkspace final : public Workspace {
public:
    std::vector<fs::path> urlsForApplications(std::string_view bundleIdentifier) const override {
        std::vector<fs::path> locations;
        for (const auto& bundle : installedBundles()) {
            if (bundle.identifier() == bundleIdentifier) {
                locations.push_back(bundle.bundlePath());
            }
        }
        return locations;
    }

    std::optional<fs::path> urlForApplication(std::string_view bundleIdentifier) const override {
        auto locations = urlsForApplications(bundleIdentifier);
        if (locations.empty()) {
            return std::nullopt;
        }
        return std::move(locations.front());
    }

    std::vector<RunningApplication>
    runningApplications(std::string_view bundleIdentifier) const override {
        std::vector<RunningApplication> running;
        std::vector<int> parents;
        for (const auto& process : workspace_processes::liveProcesses()) {
            for (const auto& file : process.runFiles) {
                const auto bundle = bundleContaining(file);
                if (bundle && bundle->identifier() == bundleIdentifier) {
                    running.push_back({process.processIdentifier, bundle->bundlePath(), file});
                    parents.push_back(process.parentProcessIdentifier);
                    break;
                }
            }
        }
        return withoutForkedCopies(std::move(running), parents);
    }

    bool openApplication(const fs::path& applicationURL,
                         const OpenConfiguration& configuration) const override {
        const auto bundle = Bundle::atPath(applicationURL);
        const auto executable = bundle ? bundle->executablePath() : std::nullopt;
        if (!executable) {
            return false;
        }
        if (configuration.allowsRunningApplicationSubstitution) {
            const auto identifier = bundle->identifier();
            if (identifier && !runningApplications(*identifier).empty()) {
                return true;
            }
        }
        return workspace_processes::launchDetached(*executable, {}, configuration.environment);
    }

    bool openFile(const fs::path& file, const fs::path& applicationURL,
                  const OpenConfiguration& configuration) const override {
        const auto bundle = Bundle::atPath(applicationURL);
        const auto executable = bundle ? bundle->executablePath() : std::nullopt;
        std::error_code error;
        if (!executable || !fs::exists(fs::symlink_status(file, error))) {
            return false;
        }
        return workspace_processes::launchDetached(*executable, {fs::absolute(file).string()},
                                                   configuration.environment);
    }

    bool openURL(std::string_view url) const override {
        const auto opener = urlOpener();
        return opener && workspace_processes::launchDetached(*opener, {std::string(url)}, {});
    }

    std::optional<Icon> iconForFile(const fs::path& path) const override {
        std::error_code error;
        if (!fs::exists(path, error)) {
            return std::nullopt;
        }
        if (const auto bundle = Bundle::atPath(path)) {
            Icon icon{"application-x-executable", std::nullopt};
            if (auto image = bundleIconFile(*bundle); !image.empty() && fs::exists(image, error)) {
                icon.imageFile = std::move(image);
            }
            return icon;
        }
        return Icon{fs::is_directory(path, error) ? "folder" : "text-x-generic", std::nullopt};
    }
};

} // namespace

const Workspace& Workspace::shared() {
    static const SystemWorkspace workspace;
    return workspace;
}

} // namespace platform
