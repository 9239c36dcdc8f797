#pragma once

#include "koltutils/EnumTable.h"
#include "koltutils/URL.h"
#include "platform/AppDefaults.h"
#include "platform/Workspace.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvnbase {

// The maker's own applications. The cases have no raw values; the stored form keys a case by
// its name (koltutils::allCases lists the cases in order).
//
// The installation questions take the workspace to ask, by default the machine's own; nothing
// is cached, every call asks anew.
enum class InternalApplication : std::uint8_t {
    kvn,
    kvntags,
    kvnfcpBridge,
    velotrack,
    velotrackExtension,
};

struct InternalApplicationCase {
    InternalApplication value;
    // The case's name as the stored form writes it.
    std::string_view caseName;
    std::string_view name;
    std::string_view bundleID;
};

} // namespace kvnbase

template <> struct koltutils::EnumTable<kvnbase::InternalApplication> {
    using App = kvnbase::InternalApplication;
    static constexpr std::array<kvnbase::InternalApplicationCase, 5> cases{{
        {App::kvn, "kvn", "Korvane", "com.korvane.KVN"},
        {App::kvntags, "kvntags", "KVN Tags", "com.korvane.kvntags"},
        {App::kvnfcpBridge, "kvnfcpBridge", "KVN Audio Bridge", "com.korvane.KVN.KVNFCPBridge"},
        {App::velotrack, "velotrack", "Velotrack", "com.korvane.velotrack"},
        {App::velotrackExtension, "velotrackExtension", "Velotrack extension",
         "com.korvane.velotrack.extension"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvnbase::InternalApplication>());

namespace kvnbase {

constexpr std::string_view caseName(InternalApplication application) {
    return koltutils::caseOf(application).caseName;
}
constexpr std::string_view name(InternalApplication application) {
    return koltutils::caseOf(application).name;
}
constexpr std::string_view bundleID(InternalApplication application) {
    return koltutils::caseOf(application).bundleID;
}

// The user-defaults domain named by the bundle identifier, shared with that application; none
// when the platform refuses to create it.
std::optional<platform::AppDefaults> userDefaults(InternalApplication application);

// The maker's home page, the same for every application.
std::optional<koltutils::URL> downloadURL(InternalApplication application);

// Every location the workspace knows for the bundle identifier.
std::vector<std::filesystem::path>
urls(InternalApplication application,
     const platform::Workspace& workspace = platform::Workspace::shared());
// The workspace's preferred location for the bundle identifier.
std::optional<std::filesystem::path>
url(InternalApplication application,
    const platform::Workspace& workspace = platform::Workspace::shared());
bool isInstalled(InternalApplication application,
                 const platform::Workspace& workspace = platform::Workspace::shared());
bool isRunning(InternalApplication application,
               const platform::Workspace& workspace = platform::Workspace::shared());

// Launches the application, or lets its running instance answer. When `referrer` is given the
// launched process finds it in the environment variable "referrer". Logs "url is nil" at the
// error level when the application is not installed. The launch's outcome is not observed.
void open(InternalApplication application, const std::optional<std::string>& referrer,
          const platform::Workspace& workspace = platform::Workspace::shared());
// Opens the maker's home page.
void download(InternalApplication application,
              const platform::Workspace& workspace = platform::Workspace::shared());

// The caches folder of another of the maker's applications: the current application's caches
// folder with its last component replaced by that application's bundle identifier. None when
// the current application has no caches folder.
std::optional<std::filesystem::path> cachesDirectory(InternalApplication application);

// The stored form: a JSON object whose only key is the case name, with an empty object as value,
// e.g. {"velotrack":{}}.
std::string toJSON(InternalApplication application);
// Throws kvninterchange::DecodingError: a type mismatch "Invalid number of keys found, expected
// one." when the object has not exactly one key.
InternalApplication internalApplicationFromJSON(std::string_view json);

} // namespace kvnbase
