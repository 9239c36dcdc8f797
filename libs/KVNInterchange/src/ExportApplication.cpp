#include "kvninterchange/ExportApplication.h"

#include "kvninterchange/DecodingError.h"
#include "kvninterchange/detail/JSONDecoding.h"

#include <algorithm>

namespace kvninterchange {

std::optional<koltutils::URL> downloadURL(ExportApplication application) {
    const auto address = koltutils::caseOf(application).downloadURL;
    if (address.empty()) {
        return std::nullopt;
    }
    return koltutils::URL::fromString(address);
}

std::vector<ExportApplicationInstallation> installations(ExportApplication application,
                                                         const platform::Workspace& workspace) {
    std::vector<ExportApplicationInstallation> found;
    for (const auto identifier : bundleIDs(application)) {
        if (auto locations = workspace.urlsForApplications(identifier); !locations.empty()) {
            found.push_back({identifier, std::move(locations.front())});
        }
    }
    return found;
}

std::vector<std::filesystem::path> urls(ExportApplication application,
                                        const platform::Workspace& workspace) {
    std::vector<std::filesystem::path> locations;
    for (auto& installation : installations(application, workspace)) {
        locations.push_back(std::move(installation.location));
    }
    return locations;
}

std::optional<std::filesystem::path> url(ExportApplication application,
                                         const platform::Workspace& workspace) {
    auto locations = urls(application, workspace);
    if (locations.empty()) {
        return std::nullopt;
    }
    return std::move(locations.front());
}

bool isInstalled(ExportApplication application, const platform::Workspace& workspace) {
    return !urls(application, workspace).empty();
}

bool isRunning(ExportApplication application, const platform::Workspace& workspace) {
    const auto identifiers = bundleIDs(application);
    return std::any_of(identifiers.begin(), identifiers.end(), [&](std::string_view identifier) {
        return !workspace.runningApplications(identifier).empty();
    });
}

std::optional<platform::Workspace::Icon> finderIcon(ExportApplication application,
                                                    const platform::Workspace& workspace) {
    const auto location = url(application, workspace);
    if (!location) {
        return std::nullopt;
    }
    return workspace.iconForFile(*location);
}

void open(ExportApplication application, const platform::Workspace& workspace) {
    if (const auto location = url(application, workspace)) {
        platform::Workspace::OpenConfiguration configuration;
        configuration.allowsRunningApplicationSubstitution = true;
        workspace.openApplication(*location, configuration);
    }
}

void download(ExportApplication application, const platform::Workspace& workspace) {
    if (const auto address = downloadURL(application)) {
        workspace.openURL(address->absoluteString());
    }
}

std::string toJSON(ExportApplication application) {
    return nlohmann::json(std::string(koltutils::rawValue(application))).dump();
}

ExportApplication exportApplicationFromJSON(std::string_view json) {
    const auto value = detail::parseJSON(json);
    if (!value.is_string()) {
        detail::throwTypeMismatch("a string", value, {});
    }
    const auto& text = value.get_ref<const std::string&>();
    if (auto application = koltutils::fromRawValue<ExportApplication>(text)) {
        return *application;
    }
    throw DecodingError(DecodingError::Kind::dataCorrupted, {},
                        "Cannot initialize ExportApplication from invalid String value " + text);
}

} // namespace kvninterchange
