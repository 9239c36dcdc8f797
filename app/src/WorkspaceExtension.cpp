#include "WorkspaceExtension.h"

#include "koltutils/DescribedError.h"
#include "koltutils/Log.h"
#include "koltutils/ProcessHandler.h"
#include "kvninterchange/PluginKitHelper.h"
#include "platform/Bundle.h"
#include "platform/DispatchQueue.h"

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace velotrack::WorkspaceExtension {
namespace {

namespace fs = std::filesystem;
namespace APPEXHelper = kvninterchange::APPEXHelper;
namespace PluginKitHelper = kvninterchange::PluginKitHelper;

struct ElectedCopy {
    std::string location;
    std::string version;
};

// The copy the registry elects for the identifier, from one run of the tool, so that location
// and version describe the same registration. The location is read as installedInstance reads
// it; the version is the "(...)" after the identifier in "+    <identifier>(<version>)\t...".
std::optional<ElectedCopy> electedCopy(const std::string& identifier) {
    const auto tool = PluginKitHelper::toolPath();
    const std::vector<std::string> arguments{"-v", "-m", "-i", identifier};
    KOLT_LOG_DEBUG("electedCopy(of:)", tool.string() + " -v -m -i " + identifier);
    koltutils::ProcessHandler handler(tool, arguments);
    const auto output = handler.run();
    auto location = PluginKitHelper::parse(output);
    if (!location) {
        return std::nullopt;
    }
    ElectedCopy copy{std::move(*location), {}};
    const auto lineEnd = output.find('\n');
    const auto opening = output.find(identifier + "(");
    if (opening < lineEnd) {
        const auto versionStart = opening + identifier.size() + 1;
        const auto closing = output.find(")\t", versionStart);
        if (closing < lineEnd) {
            copy.version = output.substr(versionStart, closing - versionStart);
        }
    }
    return copy;
}

bool sameLocation(const fs::path& one, const fs::path& other) {
    std::error_code error;
    return fs::equivalent(one, other, error) && !error;
}

std::string_view describe(Registration registration) {
    switch (registration) {
    case Registration::current:
        return "already registered";
    case Registration::added:
        return "registered";
    case Registration::updated:
        return "registration updated";
    }
    return "";
}

} // namespace

std::optional<fs::path> bundledExtension() {
    const auto bundle = platform::Bundle::main();
    if (!bundle) {
        return std::nullopt;
    }
    return bundle->contentsPath() / "PlugIns" / "Velotrack extension.appex";
}

Registration ensureRegistered(const fs::path& extension) {
    std::error_code error;
    if (!fs::exists(extension, error)) {
        throw koltutils::DescribedError("appex bundle is missing");
    }
    const auto ours = APPEXHelper::bundleInfo(extension);
    if (!ours) {
        throw koltutils::DescribedError(extension.string() +
                                        " declares no bundle identifier in Contents/Info.plist");
    }
    const auto elected = electedCopy(ours->identifier);
    if (!elected) {
        PluginKitHelper::addInstance(extension.string());
        return Registration::added;
    }
    // The registry records the version a copy had when it was registered: this bundle, replaced
    // in place by another version of the application, needs registering again too.
    if (sameLocation(elected->location, extension) && elected->version == ours->version) {
        return Registration::current;
    }
    APPEXHelper::update(extension, ours->identifier);
    return Registration::updated;
}

void registerInBackground(std::optional<fs::path> extension) {
    platform::DispatchQueue::global(platform::QualityOfService::background)
        ->async([extension = std::move(extension)] {
            if (!extension) {
                KOLT_LOG_ERROR("registerInBackground(_:)",
                               "No application bundle, so no workspace extension to register");
                return;
            }
            try {
                const auto registration = ensureRegistered(*extension);
                KOLT_LOG_DEBUG("registerInBackground(_:)", extension->string(),
                               std::string(describe(registration)));
            } catch (const std::exception& failure) {
                KOLT_LOG_ERROR("registerInBackground(_:)",
                               "Failed to register " + extension->string() + ":", failure.what());
            }
        });
}

} // namespace velotrack::WorkspaceExtension
