#include "Commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <kvninterchange/ExtensionApplication.h>
#include <kvninterchange/PluginKitHelper.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace velotrack::cli {

namespace {

namespace fs = std::filesystem;
using kvninterchange::ExtensionApplication;

// What the machine says about one host's extension right now.
struct ExtensionStatus {
    std::string caseName;
    std::string name;
    bool hostInstalled = false;
    bool extensionInstalled = false;
    bool isSigned = false;
    std::optional<std::string> installedVersion;
    std::optional<std::string> shippedVersion;
    bool needsUpdate = false;
    std::optional<std::string> extensionPath;
};

ExtensionStatus statusOf(ExtensionApplication host) {
    const auto shipped = kvninterchange::version(host);
    return {std::string(koltutils::rawValue(host)),
            std::string(kvninterchange::name(host)),
            kvninterchange::isHostInstalled(host),
            kvninterchange::extensionInstalled(host),
            kvninterchange::isSigned(host),
            kvninterchange::installedVersion(host),
            shipped.empty() ? std::nullopt : std::optional<std::string>(shipped),
            kvninterchange::needsUpdate(host),
            kvninterchange::extensionPath(host)};
}

std::string yesNo(bool value) {
    return value ? "yes" : "no";
}

nlohmann::ordered_json orNull(const std::optional<std::string>& text) {
    return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
}

void printJSON(const std::vector<ExtensionStatus>& statuses) {
    auto list = nlohmann::ordered_json::array();
    for (const auto& status : statuses) {
        list.push_back({{"case", status.caseName},
                        {"name", status.name},
                        {"hostInstalled", status.hostInstalled},
                        {"extensionInstalled", status.extensionInstalled},
                        {"signed", status.isSigned},
                        {"installedVersion", orNull(status.installedVersion)},
                        {"shippedVersion", orNull(status.shippedVersion)},
                        {"needsUpdate", status.needsUpdate},
                        {"extensionPath", orNull(status.extensionPath)}});
    }
    std::cout << list.dump(2) << '\n';
}

void printTable(const std::vector<ExtensionStatus>& statuses) {
    constexpr std::size_t columns = 9;
    std::vector<std::array<std::string, columns>> rows{
        {"case", "name", "hostInstalled", "extensionInstalled", "signed", "installedVersion",
         "shippedVersion", "needsUpdate", "extensionPath"}};
    for (const auto& status : statuses) {
        rows.push_back({status.caseName, status.name, yesNo(status.hostInstalled),
                        yesNo(status.extensionInstalled), yesNo(status.isSigned),
                        status.installedVersion.value_or("-"), status.shippedVersion.value_or("-"),
                        yesNo(status.needsUpdate), status.extensionPath.value_or("-")});
    }
    std::array<std::size_t, columns> widths{};
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < columns; ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < columns; ++column) {
            line += row[column];
            if (column + 1 < columns) {
                line += std::string(widths[column] - row[column].size() + 2, ' ');
            }
        }
        std::cout << line << '\n';
    }
}

// A component as the colour tables write it: the shortest text that reads back as the same
// number, with at least one digit after the point ("1.0", "0.44315225").
std::string componentText(double value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    std::string text(buffer.data(), result.ptr);
    if (text.find('.') == std::string::npos) {
        text += ".0";
    }
    return text;
}

[[noreturn]] void fail(const std::string& message) {
    std::cerr << message << '\n';
    throw CLI::RuntimeError(1);
}

void printMarkerColor(const std::string& caseName, const std::string& colorName) {
    const auto host = koltutils::fromRawValue<ExtensionApplication>(caseName);
    if (!host) {
        fail("unknown extension host: " + caseName);
    }
    if (koltutils::caseOf(*host).markerColors.empty()) {
        fail(caseName + " has no marker colours");
    }
    const auto color = kvninterchange::getMarkerColor(*host, colorName);
    if (!color) {
        fail(caseName + " has no marker colour named " + colorName);
    }
    std::cout << componentText(color->red) << ' ' << componentText(color->green) << ' '
              << componentText(color->blue) << '\n';
}

void printInstances(const std::vector<std::string>& instances) {
    for (const auto& instance : instances) {
        std::cout << instance << '\n';
    }
}

// The registry keeps absolute paths without a trailing separator.
std::string absolutePath(const std::string& path) {
    auto text = fs::absolute(path).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

void registerExtension(const std::string& appex) {
    const auto info = kvninterchange::APPEXHelper::bundleInfo(appex);
    if (!info) {
        fail(appex + " is not an extension bundle");
    }
    kvninterchange::PluginKitHelper::addInstance(appex);
    // The tool's own answer says nothing reliable; the registrations themselves do.
    const auto instances = kvninterchange::PluginKitHelper::allInstances(info->identifier);
    printInstances(instances);
    if (std::find(instances.begin(), instances.end(), absolutePath(appex)) == instances.end()) {
        fail(appex + " is not registered");
    }
}

// Runs a registry operation; its error is the message the user reads.
template <class Operation> void reportingErrors(Operation operation) {
    try {
        operation();
    } catch (const koltutils::DescribedError& error) {
        fail(error.what());
    }
}

} // namespace

void addExtensionsCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "extensions",
        "The hosts' extensions: installed, signed and current (folders below "
        "VELOTRACK_SYSTEM_LIBRARY when set, else /Library), and the plug-in registry (the tool "
        "named by VELOTRACK_PLUGINKIT, else /usr/bin/pluginkit, else velotrack-pluginkit beside "
        "this program). Exit status 1 when an operation fails.");
    auto json = std::make_shared<bool>(false);
    command->add_flag("--json", *json, "Print a JSON array of objects instead of a table");

    auto* marker = command->add_subcommand(
        "marker-color", "Prints the red, green and blue components of a host's marker colour");
    auto markerArgs = std::make_shared<std::array<std::string, 2>>();
    marker->add_option("case", (*markerArgs)[0], "The host's case (finalCutPro, premiere, ...)")
        ->required();
    marker->add_option("name", (*markerArgs)[1], "The colour's name as the host writes it")
        ->required();
    marker->callback([markerArgs] { printMarkerColor((*markerArgs)[0], (*markerArgs)[1]); });

    auto* instances =
        command->add_subcommand("instances", "Lists every registered copy, most recent first");
    auto instancesID = std::make_shared<std::string>();
    instances->add_option("bundle-id", *instancesID, "The extension's bundle identifier")
        ->required();
    instances->callback([instancesID] {
        reportingErrors(
            [&] { printInstances(kvninterchange::PluginKitHelper::allInstances(*instancesID)); });
    });

    auto* registration = command->add_subcommand(
        "register", "Registers an extension bundle, then lists the registered copies");
    auto appexToRegister = std::make_shared<std::string>();
    registration->add_option("appex", *appexToRegister, "The extension bundle")->required();
    registration->callback(
        [appexToRegister] { reportingErrors([&] { registerExtension(*appexToRegister); }); });

    auto* unregisterAll =
        command->add_subcommand("unregister-all", "Unregisters every copy of an extension");
    auto unregisterID = std::make_shared<std::string>();
    unregisterAll->add_option("bundle-id", *unregisterID, "The extension's bundle identifier")
        ->required();
    unregisterAll->callback([unregisterID] {
        reportingErrors(
            [&] { kvninterchange::PluginKitHelper::removeAllInstances(*unregisterID); });
    });

    auto* update = command->add_subcommand(
        "update", "Makes the bundle the only registered copy (some copy must be registered)");
    auto updateArgs = std::make_shared<std::array<std::string, 2>>();
    update->add_option("appex", (*updateArgs)[0], "The extension bundle")->required();
    update->add_option("bundle-id", (*updateArgs)[1], "The extension's bundle identifier")
        ->required();
    update->callback([updateArgs] {
        reportingErrors(
            [&] { kvninterchange::APPEXHelper::update((*updateArgs)[0], (*updateArgs)[1]); });
    });

    command->callback([command, json] {
        if (!command->get_subcommands().empty()) {
            return;
        }
        std::vector<ExtensionStatus> statuses;
        for (const auto host : koltutils::allCases<ExtensionApplication>()) {
            statuses.push_back(statusOf(host));
        }
        if (*json) {
            printJSON(statuses);
        } else {
            printTable(statuses);
        }
    });
}

} // namespace velotrack::cli
