#include "kvninterchange/PluginKitHelper.h"

#include "koltutils/Log.h"
#include "koltutils/ProcessHandler.h"
#include "koltutils/UTF8.h"
#include "platform/Bundle.h"

#include <system_error>

namespace kvninterchange {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view systemTool = "/usr/bin/pluginkit";
constexpr std::string_view standInTool = "velotrack-pluginkit";

bool existsAt(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// Logs the command line as one value, then runs it.
std::string runTool(std::vector<std::string> args) {
    const auto tool = PluginKitHelper::toolPath();
    std::string commandLine = tool.string();
    for (const auto& argument : args) {
        commandLine += ' ';
        commandLine += argument;
    }
    KOLT_LOG_DEBUG("print(cmd:args:)", commandLine);
    koltutils::ProcessHandler handler(tool, std::move(args), koltutils::DispatchQoS::defaultClass);
    return handler.run();
}

} // namespace

namespace PluginKitHelper {

fs::path toolPath() {
    if (const char* configured = std::getenv("VELOTRACK_PLUGINKIT");
        configured != nullptr && *configured != '\0') {
        return configured;
    }
    if (existsAt(fs::path(systemTool))) {
        return fs::path(systemTool);
    }
    std::error_code error;
    const auto executable = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return fs::path(standInTool);
    }
    return executable.parent_path() / standInTool;
}

std::optional<std::string> parse(std::string_view line) {
    KOLT_LOG_DEBUG("parse(line:)", std::string(line));
    const auto lastTab = line.rfind('\t');
    const auto field = lastTab == std::string_view::npos ? line : line.substr(lastTab + 1);
    if (field.empty()) {
        return std::nullopt;
    }
    constexpr std::string_view suffix = ".appex";
    const auto found = field.find(suffix);
    if (found == std::string_view::npos) {
        return std::nullopt;
    }
    const auto end = found + suffix.size();
    if (end == field.size()) {
        return std::string(field);
    }
    // White space as Unicode defines it, like every other trimmed value of the system.
    return std::string(koltutils::UTF8::trimmingWhitespace(field.substr(0, end)));
}

std::optional<std::string> installedInstance(std::string_view bundleID) {
    return parse(runTool({"-v", "-m", "-i", std::string(bundleID)}));
}

std::vector<std::string> allInstances(std::string_view bundleID) {
    const auto output = runTool({"-vD", "-m", "-i", std::string(bundleID)});
    std::vector<std::string> locations;
    std::string_view rest = output;
    while (!rest.empty()) {
        const auto lineEnd = rest.find('\n');
        const auto line = rest.substr(0, lineEnd);
        if (auto location = parse(line)) {
            locations.push_back(std::move(*location));
        }
        if (lineEnd == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(lineEnd + 1);
    }
    return locations;
}

void addInstance(const std::string& path) {
    runTool({"-a", path});
}

std::optional<koltutils::DescribedError> removeInstance(const std::string& path) {
    try {
        const auto output = runTool({"-r", path});
        KOLT_LOG_DEBUG("removeInstance(path:)", "result", output);
        return std::nullopt;
    } catch (const koltutils::DescribedError& error) {
        KOLT_LOG_ERROR("removeInstance(path:)", error.what());
        return error;
    }
}

void removeAllInstances(std::string_view bundleID) {
    const auto instances = allInstances(bundleID);
    KOLT_LOG_DEBUG("removeAllInstances(bundleID:)", instances);
    if (instances.empty()) {
        throw koltutils::DescribedError("Failed to find instances of " + std::string(bundleID));
    }
    for (const auto& location : instances) {
        if (removeInstance(location)) {
            throw koltutils::DescribedError("Failed to remove instance at " + location);
        }
    }
}

} // namespace PluginKitHelper

namespace APPEXHelper {

void update(const fs::path& url, std::string_view bundleID) {
    if (!existsAt(url)) {
        throw koltutils::DescribedError("appex bundle is missing");
    }
    KOLT_LOG_DEBUG("update(url:bundleID:)", url.string());
    PluginKitHelper::removeAllInstances(bundleID);
    const auto instances = PluginKitHelper::allInstances(bundleID);
    KOLT_LOG_DEBUG("update(url:bundleID:)", instances);
    PluginKitHelper::addInstance(url.string());
}

std::optional<ExtensionBundleInfo> bundleInfo(const fs::path& url) {
    const auto bundle = platform::Bundle::anyAtPath(url);
    auto identifier = bundle ? bundle->identifier() : std::nullopt;
    if (!identifier || identifier->empty()) {
        return std::nullopt;
    }
    return ExtensionBundleInfo{std::move(*identifier),
                               bundle->infoString("CFBundleShortVersionString").value_or("")};
}

} // namespace APPEXHelper

} // namespace kvninterchange
