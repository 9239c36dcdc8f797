#include "kvnbase/InternalApplication.h"

#include "koltutils/Log.h"
#include "kvninterchange/DecodingError.h"
#include "kvninterchange/detail/JSONDecoding.h"
#include "platform/Bundle.h"

#include <cstdlib>
#include <system_error>

namespace kvnbase {
namespace {

namespace fs = std::filesystem;
using kvninterchange::DecodingError;

constexpr std::string_view homePage = "https://www.korvane.com";

std::optional<fs::path> absoluteEnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0' || !fs::path(value).is_absolute()) {
        return std::nullopt;
    }
    return fs::path(value);
}

// The user's caches folder in the freedesktop.org layout.
std::optional<fs::path> userCachesFolder() {
    if (auto configured = absoluteEnvironmentPath("XDG_CACHE_HOME")) {
        return configured;
    }
    if (auto home = absoluteEnvironmentPath("HOME")) {
        return *home / ".cache";
    }
    return std::nullopt;
}

// The running program's own caches folder: named after its bundle identifier, or after the
// executable when it runs outside a bundle.
std::optional<fs::path> ownCachesFolder() {
    const auto caches = userCachesFolder();
    if (!caches) {
        return std::nullopt;
    }
    if (const auto bundle = platform::Bundle::main()) {
        if (auto identifier = bundle->identifier(); identifier && !identifier->empty()) {
            return *caches / *identifier;
        }
    }
    std::error_code error;
    const auto executable = fs::read_symlink("/proc/self/exe", error);
    if (error || executable.filename().empty()) {
        return std::nullopt;
    }
    return *caches / executable.filename();
}

const char* const keyCountMessage = "Invalid number of keys found, expected one.";

} // namespace

std::optional<platform::AppDefaults> userDefaults(InternalApplication application) {
    return platform::AppDefaults::suite(bundleID(application));
}

std::optional<koltutils::URL> downloadURL(InternalApplication) {
    return koltutils::URL::fromString(homePage);
}

std::vector<fs::path> urls(InternalApplication application, const platform::Workspace& workspace) {
    return workspace.urlsForApplications(bundleID(application));
}

std::optional<fs::path> url(InternalApplication application, const platform::Workspace& workspace) {
    return workspace.urlForApplication(bundleID(application));
}

bool isInstalled(InternalApplication application, const platform::Workspace& workspace) {
    return url(application, workspace).has_value();
}

bool isRunning(InternalApplication application, const platform::Workspace& workspace) {
    return !workspace.runningApplications(bundleID(application)).empty();
}

void open(InternalApplication application, const std::optional<std::string>& referrer,
          const platform::Workspace& workspace) {
    const auto location = url(application, workspace);
    if (!location) {
        KOLT_LOG_ERROR("open(referrer:)", "url is nil");
        return;
    }
    platform::Workspace::OpenConfiguration configuration;
    configuration.activates = true;
    configuration.allowsRunningApplicationSubstitution = true;
    if (referrer) {
        configuration.environment = {{"referrer", *referrer}};
    }
    workspace.openApplication(*location, configuration);
}

void download(InternalApplication application, const platform::Workspace& workspace) {
    if (const auto address = downloadURL(application)) {
        workspace.openURL(address->absoluteString());
    }
}

std::optional<fs::path> cachesDirectory(InternalApplication application) {
    const auto own = ownCachesFolder();
    if (!own) {
        return std::nullopt;
    }
    return own->parent_path() / bundleID(application);
}

std::string toJSON(InternalApplication application) {
    nlohmann::json stored = nlohmann::json::object();
    stored[std::string(caseName(application))] = nlohmann::json::object();
    return stored.dump();
}

InternalApplication internalApplicationFromJSON(std::string_view json) {
    const auto stored = kvninterchange::detail::parseJSON(json);
    if (!stored.is_object()) {
        kvninterchange::detail::throwTypeMismatch("an object", stored, {});
    }
    if (stored.size() != 1) {
        throw DecodingError(DecodingError::Kind::typeMismatch, {}, keyCountMessage);
    }
    const auto member = stored.begin();
    const auto& key = member.key();
    const auto& value = member.value();
    if (!value.is_object()) {
        kvninterchange::detail::throwTypeMismatch("an object", value, {key});
    }
    for (const auto& row : koltutils::EnumTable<InternalApplication>::cases) {
        if (row.caseName == key) {
            return row.value;
        }
    }
    throw DecodingError(DecodingError::Kind::dataCorrupted, {key},
                        "Cannot initialize InternalApplication from unknown case " + key);
}

} // namespace kvnbase
