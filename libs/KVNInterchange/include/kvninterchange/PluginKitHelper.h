#pragma once

#include "koltutils/DescribedError.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvninterchange {

// The thin wrapper around the plug-in registry's command-line tool. Every call runs the tool to
// completion on the caller's thread (run it from a background queue) and first logs the command
// line at debug level.
//
// The tool is, in this order: the program named by VELOTRACK_PLUGINKIT; "/usr/bin/pluginkit"
// where it exists; the project's stand-in "velotrack-pluginkit" beside the running executable.
//
// Error policy: a tool that cannot be launched, and the failures of removeAllInstances, throw
// koltutils::DescribedError; removeInstance hands its error back instead. What the tool prints
// is never treated as an error: registrations are read back, not trusted from the output.
namespace PluginKitHelper {

// The registry tool this process uses right now.
std::filesystem::path toolPath();

// The location of the registered copy the registry elects for the identifier.
std::optional<std::string> installedInstance(std::string_view bundleID);
// The locations of every registered copy, in the tool's order (possibly none).
std::vector<std::string> allInstances(std::string_view bundleID);
// Registers the extension bundle at the path. The tool's answer is ignored.
void addInstance(const std::string& path);
// Unregisters the bundle at the path; the error when the tool could not be run.
std::optional<koltutils::DescribedError> removeInstance(const std::string& path);
// Unregisters every copy, in order. Throws "Failed to find instances of <bundleID>" when none
// is registered, and "Failed to remove instance at <location>" at the first copy that could not
// be removed (later copies stay registered).
void removeAllInstances(std::string_view bundleID);

// The bundle location in one line of the tool's output: the last tab-separated field up to and
// including its first ".appex", without surrounding white space; none when the field is empty
// or has no ".appex".
std::optional<std::string> parse(std::string_view line);

} // namespace PluginKitHelper

namespace APPEXHelper {

// Makes the extension bundle at `url` the registered copy for `bundleID`: removes every
// registered copy, then registers this one. Throws "appex bundle is missing" when nothing exists
// at `url`, and the errors of removeAllInstances (so at least one copy must be registered).
void update(const std::filesystem::path& url, std::string_view bundleID);

// What an extension bundle declares in its "Contents/Info.plist".
struct ExtensionBundleInfo {
    std::string identifier; // CFBundleIdentifier
    std::string version;    // CFBundleShortVersionString, empty when absent

    bool operator==(const ExtensionBundleInfo&) const = default;
};
// None when there is no readable information dictionary or it names no identifier.
std::optional<ExtensionBundleInfo> bundleInfo(const std::filesystem::path& url);

} // namespace APPEXHelper

} // namespace kvninterchange
