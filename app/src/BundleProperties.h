#pragma once

#include "platform/Bundle.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velotrack {

// The four numbers of an application's version: "major.minor.patch" from
// "CFBundleShortVersionString" and the build from "CFBundleVersion". A component that is missing
// or not a number is 0.
struct ApplicationVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t patch = 0;
    std::uint32_t build = 0;

    bool operator==(const ApplicationVersion&) const = default;
    auto operator<=>(const ApplicationVersion&) const = default;
};

// What the main bundle's information dictionary says about the application, read when the value
// is made. A key that is missing or not text leaves its field absent.
struct BundleProperties {
    ApplicationVersion applicationVersion;
    std::optional<std::string> appName;           // "CFBundleName"
    std::optional<std::string> appVersionBuild;   // "CFBundleVersion"
    std::optional<std::string> appCopyright;      // "NSHumanReadableCopyright"
    std::optional<std::string> appCopyrightShort; // "ShortCopyright"

    // Everything absent and a zero version when there is no bundle.
    static BundleProperties fromBundle(const std::optional<platform::Bundle>& bundle);

    // The name the application shows: its bundle name, or the product name.
    std::string displayName() const;

    bool operator==(const BundleProperties&) const = default;

    // Starts a shell that waits `afterDelay` seconds and opens the application again, asks the
    // application object to quit and ends the process with status 0. The shell outlives the
    // process. Without a main bundle there is nothing to reopen: the process just ends.
    [[noreturn]] static void relaunch(double afterDelay);

    // What that shell runs: "sleep <delay>; open "<bundle>"" where the platform has the `open`
    // command, otherwise the bundle's executable, started after the same sleep.
    static std::string relaunchCommand(double afterDelay, const platform::Bundle& bundle);
};

// The product name, used when the bundle names no application.
inline constexpr std::string_view productName = "Velotrack";

namespace AppProperties {
// The main bundle's properties, read once on first use.
const BundleProperties& bundleProperties();
} // namespace AppProperties

} // namespace velotrack
