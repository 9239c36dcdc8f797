#include "kvnfcpx/FCPUtilities.h"

#include <koltutils/DescribedError.h>
#include <koltutils/Log.h>
#include <mutex>
#include <platform/Bundle.h>
#include <platform/SystemLibrary.h>
#include <system_error>

namespace kvnfcpx {

namespace fs = std::filesystem;

namespace {

constexpr const char* resourceBundleName = "KVNFCPX_KVNFCPX";
constexpr const char* resourceName = "KVN H.264";
constexpr const char* resourceFileName = "KVN H.264.fcpxdest";

struct Settings {
    std::mutex mutex;
    std::optional<fs::path> shareDestinationsFolder;
    std::optional<fs::path> resourceBundleFolder;
};

Settings& settings() {
    static Settings instance;
    return instance;
}

bool fileExists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

std::optional<fs::path> searchResourceBundle() {
    if (const auto& bundle = platform::Bundle::main()) {
        auto candidate = bundle->resourcesPath() / resourceBundleName;
        if (fileExists(candidate)) {
            return candidate;
        }
    }
    std::error_code error;
    const auto executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        auto candidate = executable.parent_path() / resourceBundleName;
        if (fileExists(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

// The resource file inside the bundle, or none when the bundle lacks it.
std::optional<fs::path> resourceURL() {
    auto file = FCPUtilities::resourceBundle() / resourceFileName;
    if (!fileExists(file)) {
        return std::nullopt;
    }
    return file;
}

} // namespace

fs::path FCPUtilities::shareDestinationsFolder() {
    auto& state = settings();
    std::lock_guard lock(state.mutex);
    if (!state.shareDestinationsFolder) {
        state.shareDestinationsFolder = platform::systemLibraryRoot() / "Application Support" /
                                        "ProApps" / "Share Destinations";
    }
    return *state.shareDestinationsFolder;
}

void FCPUtilities::setShareDestinationsFolder(fs::path folder) {
    auto& state = settings();
    std::lock_guard lock(state.mutex);
    state.shareDestinationsFolder = std::move(folder);
}

fs::path FCPUtilities::resourceBundle() {
    std::optional<fs::path> folder;
    {
        auto& state = settings();
        std::lock_guard lock(state.mutex);
        folder = state.resourceBundleFolder;
    }
    if (folder) {
        if (!fileExists(*folder)) {
            throw koltutils::DescribedError(std::string("unable to find bundle named ") +
                                            resourceBundleName);
        }
        return *folder;
    }
    static const std::optional<fs::path> found = searchResourceBundle();
    if (!found) {
        throw koltutils::DescribedError(std::string("unable to find bundle named ") +
                                        resourceBundleName);
    }
    return *found;
}

void FCPUtilities::setResourceBundleFolder(std::optional<fs::path> folder) {
    auto& state = settings();
    std::lock_guard lock(state.mutex);
    state.resourceBundleFolder = std::move(folder);
}

std::optional<fs::path> FCPUtilities::shareDestinationURL() {
    const auto resource = resourceURL();
    if (!resource) {
        KOLT_LOG_ERROR("shareDestinationURL", "Failed to find resource", resourceName);
        return std::nullopt;
    }
    return shareDestinationsFolder() / resource->filename();
}

void FCPUtilities::installShareDestination() {
    const auto resource = resourceURL();
    if (!resource) {
        KOLT_LOG_ERROR("installShareDestination()", "Failed to find resource", resourceName);
        return;
    }
    const auto folder = shareDestinationsFolder();
    if (!fileExists(folder)) {
        fs::create_directories(folder);
    }
    const auto target = folder / resource->filename();
    if (fileExists(target)) {
        return;
    }
    const auto source = resource->string(); // GCC and clang number a split log call apart
    KOLT_LOG_DEBUG("installShareDestination()", "Copying", source, "to", target.string());
    fs::copy_file(*resource, target);
}

void FCPUtilities::removeShareDestination() {
    const auto target = shareDestinationsFolder() / resourceFileName;
    if (!fileExists(target)) {
        return;
    }
    KOLT_LOG_DEBUG("removeShareDestination()", "Removing", target.string());
    fs::remove(target);
}

} // namespace kvnfcpx
