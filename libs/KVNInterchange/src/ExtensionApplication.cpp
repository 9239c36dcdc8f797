#include "kvninterchange/ExtensionApplication.h"

#include "koltutils/Log.h"
#include "kvninterchange/DecodingError.h"
#include "kvninterchange/detail/JSONDecoding.h"
#include "platform/SystemLibrary.h"
#include "xmltree/XMLDocument.h"
#include "xmltree/XMLError.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace kvninterchange {
namespace {

namespace fs = std::filesystem;

bool existsAt(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The manifest's root element, or none when the file is missing, unreadable or not XML.
xmltree::XMLElement::Ptr manifestRoot(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return nullptr;
    }
    const std::string bytes{std::istreambuf_iterator<char>(stream),
                            std::istreambuf_iterator<char>()};
    if (stream.bad()) {
        return nullptr;
    }
    try {
        const auto document = xmltree::XMLDocument::fromBytes(bytes);
        auto root = document->root();
        if (root->error()) {
            return nullptr;
        }
        return root;
    } catch (const xmltree::XMLError&) {
        return nullptr;
    }
}

std::optional<std::string> premiereVersion(const fs::path& folder) {
    const auto root = manifestRoot(folder / "CSXS" / "manifest.xml");
    if (!root) {
        return std::nullopt;
    }
    if (const auto version = root->attribute("ExtensionBundleVersion")) {
        return std::string(*version);
    }
    return std::nullopt;
}

std::optional<std::string> resolveVersion(const fs::path& folder) {
    const auto root = manifestRoot(folder / "manifest.xml");
    if (!root) {
        return std::nullopt;
    }
    const auto version = root->child("Plugin")->child("Version");
    if (version->error()) {
        return std::nullopt;
    }
    return version->value();
}

} // namespace

std::optional<std::string> extensionPath(ExtensionApplication host) {
    const auto& row = koltutils::caseOf(host);
    if (row.extensionLocation.empty()) {
        return std::nullopt;
    }
    if (row.isWebService) {
        return std::string(row.extensionLocation);
    }
    return (platform::systemLibraryRoot() / row.extensionLocation).string();
}

ExtensionImage image(ExtensionApplication host, const platform::Workspace& workspace) {
    const auto& row = koltutils::caseOf(host);
    if (row.exportApplication) {
        if (auto icon = finderIcon(*row.exportApplication, workspace)) {
            return *icon;
        }
    }
    return row.imageAsset;
}

bool isHostInstalled(ExtensionApplication host, const platform::Workspace& workspace) {
    const auto& row = koltutils::caseOf(host);
    if (row.isWebService || !row.exportApplication) {
        return row.isWebService;
    }
    return isInstalled(*row.exportApplication, workspace);
}

bool extensionInstalled(ExtensionApplication host) {
    if (host == ExtensionApplication::finalCutPro) {
        return false;
    }
    const auto path = extensionPath(host);
    return path && existsAt(*path);
}

bool isSigned(ExtensionApplication host) {
    if (host != ExtensionApplication::premiere) {
        return true;
    }
    const auto path = extensionPath(host);
    return path && existsAt(fs::path(*path) / "META-INF" / "signatures.xml");
}

std::optional<std::string> installedVersion(ExtensionApplication host) {
    const auto path = extensionPath(host);
    if (!path) {
        return std::nullopt;
    }
    switch (host) {
    case ExtensionApplication::premiere:
        return premiereVersion(*path);
    case ExtensionApplication::resolve:
        return resolveVersion(*path);
    default:
        return std::nullopt;
    }
}

bool needsUpdate(ExtensionApplication host) {
    if (!isUpdateable(host)) {
        return false;
    }
    const auto path = extensionPath(host);
    if (!path || !existsAt(*path)) {
        return true;
    }
    if (!isSigned(host)) {
        KOLT_LOG_ERROR("needsUpdate", "This is an unsigned version of the extension " + *path +
                                          ". You must sign it before distribution.");
        return true;
    }
    const auto installed = installedVersion(host);
    return !installed || *installed != version(host);
}

void open(ExtensionApplication host, const platform::Workspace& workspace) {
    const auto& row = koltutils::caseOf(host);
    if (row.isWebService) {
        workspace.openURL(row.extensionLocation);
    } else if (row.exportApplication) {
        open(*row.exportApplication, workspace);
    }
}

void download(ExtensionApplication host, const platform::Workspace& workspace) {
    const auto& row = koltutils::caseOf(host);
    if (row.isWebService) {
        workspace.openURL(row.extensionLocation);
    } else if (row.exportApplication) {
        download(*row.exportApplication, workspace);
    }
}

std::optional<MarkerColor> getMarkerColor(ExtensionApplication host, std::string_view key) {
    for (const auto& entry : koltutils::caseOf(host).markerColors) {
        if (entry.name == key) {
            return entry.color;
        }
    }
    return std::nullopt;
}

std::string toJSON(ExtensionApplication host) {
    return nlohmann::json(std::string(koltutils::rawValue(host))).dump();
}

ExtensionApplication extensionApplicationFromJSON(std::string_view json) {
    const auto value = detail::parseJSON(json);
    if (!value.is_string()) {
        detail::throwTypeMismatch("a string", value, {});
    }
    const auto& text = value.get_ref<const std::string&>();
    if (auto host = koltutils::fromRawValue<ExtensionApplication>(text)) {
        return *host;
    }
    throw DecodingError(DecodingError::Kind::dataCorrupted, {},
                        "Cannot initialize ExtensionApplication from invalid String value " + text);
}

} // namespace kvninterchange
