#include "Commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <kvnbase/InternalApplication.h>
#include <kvninterchange/ExportApplication.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace velotrack::cli {

namespace {

// What the workspace says about one application right now.
struct ApplicationStatus {
    std::string family;
    std::string caseName;
    std::string name;
    // The identifier that resolved, or the first one when none did.
    std::string bundleID;
    bool installed = false;
    bool running = false;
    std::optional<std::filesystem::path> location;
};

ApplicationStatus statusOf(kvnbase::InternalApplication application) {
    const auto location = kvnbase::url(application);
    return {"internal",
            std::string(kvnbase::caseName(application)),
            std::string(kvnbase::name(application)),
            std::string(kvnbase::bundleID(application)),
            location.has_value(),
            kvnbase::isRunning(application),
            location};
}

ApplicationStatus statusOf(kvninterchange::ExportApplication application) {
    const auto installations = kvninterchange::installations(application);
    ApplicationStatus status{"export",
                             std::string(koltutils::rawValue(application)),
                             std::string(kvninterchange::name(application)),
                             std::string(kvninterchange::bundleIDs(application).front()),
                             !installations.empty(),
                             kvninterchange::isRunning(application),
                             std::nullopt};
    if (!installations.empty()) {
        status.bundleID = installations.front().bundleID;
        status.location = installations.front().location;
    }
    return status;
}

std::vector<ApplicationStatus> allStatuses() {
    std::vector<ApplicationStatus> statuses;
    for (const auto application : koltutils::allCases<kvnbase::InternalApplication>()) {
        statuses.push_back(statusOf(application));
    }
    for (const auto application : koltutils::allCases<kvninterchange::ExportApplication>()) {
        statuses.push_back(statusOf(application));
    }
    return statuses;
}

void printJSON(const std::vector<ApplicationStatus>& statuses) {
    auto list = nlohmann::json::array();
    for (const auto& status : statuses) {
        list.push_back({{"family", status.family},
                        {"case", status.caseName},
                        {"name", status.name},
                        {"bundleID", status.bundleID},
                        {"installed", status.installed},
                        {"running", status.running},
                        {"url", status.location ? nlohmann::json(status.location->string())
                                                : nlohmann::json(nullptr)}});
    }
    std::cout << list.dump(2) << '\n';
}

std::string padded(const std::string& text, std::size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

void printTable(const std::vector<ApplicationStatus>& statuses) {
    std::size_t nameWidth = 0;
    std::size_t identifierWidth = 0;
    for (const auto& status : statuses) {
        nameWidth = std::max(nameWidth, status.name.size() + status.caseName.size() + 3);
        identifierWidth = std::max(identifierWidth, status.bundleID.size());
    }
    std::string family;
    for (const auto& status : statuses) {
        if (status.family != family) {
            family = status.family;
            std::cout << (family == "internal" ? "The maker's applications\n"
                                               : "Editors and audio workstations\n");
        }
        std::cout << "  " << padded(status.name + " (" + status.caseName + ")", nameWidth) << "  "
                  << padded(status.bundleID, identifierWidth) << "  "
                  << padded(status.installed ? "installed" : "not installed", 13) << "  "
                  << padded(status.running ? "running" : "-", 7) << "  "
                  << (status.location ? status.location->string() : "-") << '\n';
    }
}

} // namespace

void addAppsCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "apps", "Lists the maker's applications and the outside editors: installed, running and "
                "where (application folders from VELOTRACK_APPLICATION_DIRS when set)");
    auto json = std::make_shared<bool>(false);
    command->add_flag("--json", *json, "Print a JSON array of objects instead of a table");
    command->callback([json] {
        const auto statuses = allStatuses();
        if (*json) {
            printJSON(statuses);
        } else {
            printTable(statuses);
        }
    });
}

} // namespace velotrack::cli
