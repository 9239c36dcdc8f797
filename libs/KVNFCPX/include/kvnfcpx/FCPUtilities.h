#pragma once

#include <filesystem>
#include <optional>

namespace kvnfcpx {

// Locates, installs and removes the share destination the editor lists in its Share menu
// ("KVN H.264.fcpxdest", kept in the engine's resource bundle "KVNFCPX_KVNFCPX").
//
// The resource bundle is a folder installed with the engine: "Contents/Resources/KVNFCPX_KVNFCPX"
// of the main application bundle, or "KVNFCPX_KVNFCPX" beside the running executable (the build
// tree and the command-line tool). When neither exists the engine is packaged wrongly and the
// operations that need the resource throw koltutils::DescribedError("unable to find bundle named
// KVNFCPX_KVNFCPX").
class FCPUtilities {
public:
    FCPUtilities() = delete;

    // By default "<system library root>/Application Support/ProApps/Share Destinations"
    // (platform::systemLibraryRoot(), relocated by VELOTRACK_SYSTEM_LIBRARY), taken on first use.
    static std::filesystem::path shareDestinationsFolder();
    static void setShareDestinationsFolder(std::filesystem::path folder);

    // Where the share destination is, or would be, installed; none (logged) when the resource is
    // missing from the bundle.
    static std::optional<std::filesystem::path> shareDestinationURL();

    // Copies the resource into shareDestinationsFolder() unless a file of that name is there. A
    // missing resource is logged and not an error; file-system failures throw
    // std::filesystem::filesystem_error.
    static void installShareDestination();

    // Deletes the installed file when it is there; quiet otherwise.
    static void removeShareDestination();

    // The resource bundle folder in use. `setResourceBundleFolder` replaces the search (tests,
    // and installs that keep the bundle elsewhere); std::nullopt restores it.
    static std::filesystem::path resourceBundle();
    static void setResourceBundleFolder(std::optional<std::filesystem::path> folder);
};

} // namespace kvnfcpx
