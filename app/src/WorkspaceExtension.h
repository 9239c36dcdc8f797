#pragma once

#include <filesystem>
#include <optional>

namespace velotrack {

// The workspace extension the application carries, "Contents/PlugIns/Velotrack extension.appex"
// inside its bundle. The editor lists it only once the plug-in registry knows it, so the
// application registers it at every start.
namespace WorkspaceExtension {

// The extension inside the running application's bundle; none when no bundle surrounds the
// executable.
std::optional<std::filesystem::path> bundledExtension();

// What ensureRegistered had to do.
enum class Registration {
    current, // this bundle, at its version, was already the elected copy
    added,   // no copy was registered
    updated, // the elected copy lay elsewhere or was registered at another version
};

// Makes the extension bundle at `extension` the copy the registry elects for the identifier its
// Info.plist declares. Runs the registry tool on the calling thread; throws
// koltutils::DescribedError when the bundle is missing or the registry fails.
Registration ensureRegistered(const std::filesystem::path& extension);

// Runs ensureRegistered on a background queue and logs the outcome; failures are logged at error
// level, never reported to the caller. None (no bundle) is logged as a failure too.
void registerInBackground(std::optional<std::filesystem::path> extension);

} // namespace WorkspaceExtension

} // namespace velotrack
