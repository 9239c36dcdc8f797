// The share make command. Its log lines name this file ("FCPShare").
#include "kvnfcpx/share/FCPShareMakeCommand.h"

#include <charconv>
#include <cstdio>
#include <koltutils/Log.h>
#include <limits>
#include <mutex>
#include <platform/NotificationCenter.h>
#include <platform/UserFolders.h>
#include <system_error>

namespace kvnfcpx {

namespace fs = std::filesystem;

namespace {

struct Settings {
    std::mutex mutex;
    bool showsSavePanel = true;
    std::optional<fs::path> destinationFolder;
    std::shared_ptr<platform::SavePanel> savePanel;
};

Settings& settings() {
    static Settings instance;
    return instance;
}

// The class code as an unsigned 32-bit number from the value's text; none when the text is not
// a whole number in that range.
std::optional<FourCharCode> classCodeFrom(const ScriptValue& value) {
    const auto text = value.description();
    long long number = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (error != std::errc() || stop != end || text.empty() || number < 0 ||
        number > std::numeric_limits<FourCharCode>::max()) {
        return std::nullopt;
    }
    return static_cast<FourCharCode>(number);
}

std::optional<ScriptValue::Dictionary> dictionaryFor(const ScriptValue::Dictionary& properties,
                                                     const std::string& key) {
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.dictionary() == nullptr) {
        return std::nullopt;
    }
    return *found->second.dictionary();
}

bool folderExists(const fs::path& folder) {
    std::error_code ignored;
    return fs::exists(folder, ignored);
}

} // namespace

bool FCPShareMakeCommand::showsSavePanel() {
    std::lock_guard lock(settings().mutex);
    return settings().showsSavePanel;
}

void FCPShareMakeCommand::setShowsSavePanel(bool shows) {
    std::lock_guard lock(settings().mutex);
    settings().showsSavePanel = shows;
}

std::optional<fs::path> FCPShareMakeCommand::destinationFolder() {
    {
        std::lock_guard lock(settings().mutex);
        if (settings().destinationFolder) {
            return settings().destinationFolder;
        }
    }
    return platform::userDocumentsFolder();
}

void FCPShareMakeCommand::setDestinationFolder(std::optional<fs::path> folder) {
    std::lock_guard lock(settings().mutex);
    settings().destinationFolder = std::move(folder);
}

std::shared_ptr<platform::SavePanel> FCPShareMakeCommand::savePanel() {
    std::lock_guard lock(settings().mutex);
    return settings().savePanel;
}

void FCPShareMakeCommand::setSavePanel(std::shared_ptr<platform::SavePanel> panel) {
    std::lock_guard lock(settings().mutex);
    settings().savePanel = std::move(panel);
}

FCPShareMakeCommand::FCPShareMakeCommand(std::optional<ScriptValue::Dictionary> evaluatedArguments,
                                         std::int32_t interactionLevel,
                                         FCPShareDocumentController& controller)
    : evaluatedArguments_(std::move(evaluatedArguments)), interactionLevel_(interactionLevel),
      controller_(controller) {}

std::string FCPShareMakeCommand::description() const {
    char level[16];
    std::snprintf(level, sizeof level, "0x%x", static_cast<unsigned>(interactionLevel_));
    return std::string("<FCPShareMakeCommand: make, interaction level ") + level + ">";
}

void FCPShareMakeCommand::resumeExecution(std::optional<ObjectAddress> result) {
    suspended_ = false;
    resumedResult_ = std::move(result);
}

void FCPShareMakeCommand::setScriptError(int number, std::string reason) {
    scriptErrorNumber_ = number;
    scriptErrorString_ = std::move(reason);
}

std::optional<ObjectAddress> FCPShareMakeCommand::failWith(int errorNumber, std::string reason) {
    if (scriptErrorNumber_ == 0) {
        setScriptError(errorNumber, std::move(reason));
    }
    resumeExecution(std::nullopt);
    return std::nullopt;
}

std::optional<ObjectAddress> FCPShareMakeCommand::performDefaultImplementation() {
    if (!evaluatedArguments_) {
        KOLT_LOG_ERROR("performDefaultImplementation()", "evaluatedArguments is nil");
        return std::nullopt;
    }
    const auto& arguments = *evaluatedArguments_;
    KOLT_LOG_DEBUG("performDefaultImplementation()", "commandDescription", description(),
                   "theArguments", ScriptValue(arguments).description());

    const auto keyDictionary = arguments.find("KeyDictionary");
    if (keyDictionary == arguments.end() || keyDictionary->second.dictionary() == nullptr) {
        KOLT_LOG_ERROR("performDefaultImplementation()", "Invalid KeyDictionary specified");
        setScriptError(errAEParamMissed, "Invalid KeyDictionary specified");
        return std::nullopt;
    }
    const auto& properties = *keyDictionary->second.dictionary();
    const auto objectClass = arguments.find("ObjectClass");
    if (objectClass == arguments.end()) {
        KOLT_LOG_ERROR("performDefaultImplementation()", "No ObjectClass specified");
        setScriptError(errAEParamMissed, "No ObjectClass specified");
        return std::nullopt;
    }
    if (classCodeFrom(objectClass->second) != assetClassCode) {
        KOLT_LOG_ERROR("performDefaultImplementation()", "isAsset is false");
        return performStandardCreate();
    }

    if (controller_.documents().empty()) {
        controller_.addDocument(FCPShareDocument::create());
    }
    const auto document =
        std::dynamic_pointer_cast<FCPShareDocument>(controller_.documents().front());
    if (!document) {
        KOLT_LOG_ERROR("performDefaultImplementation()", "currentDocument is nil");
        return std::nullopt;
    }
    controller_.addDocument(FCPShareDocument::create());

    const auto nameValue = properties.find("name");
    const std::string name = nameValue != properties.end() && nameValue->second.text() != nullptr
                                 ? *nameValue->second.text()
                                 : "Untitled";
    const auto metadata = dictionaryFor(properties, "metadata");
    const auto dataOptions = dictionaryFor(properties, "dataOptions");

    std::optional<fs::path> location;
    const auto level = interactionLevel();
    if (level == canInteract || level == alwaysInteract || level == canSwitchLayer) {
        if (showsSavePanel()) {
            suspendExecution();
            location = requestURL(name);
            if (!location) {
                return failWith(errAEEventNotHandled, "The save panel was cancelled");
            }
        }
    } else {
        KOLT_LOG_DEBUG("performDefaultImplementation()", "Don't show UI");
    }
    if (!location) {
        location = createDefaultURL(name);
        if (!location) {
            return failWith(errAEEventNotHandled, "No default location for the asset");
        }
    }

    const auto asset = createAsset(document, metadata, dataOptions, *location);
    if (!asset) {
        return failWith(errAEEventNotHandled, "Failed to make Asset");
    }
    createdAsset_ = asset;
    const auto specifier = asset->objectSpecifier();
    resumeExecution(specifier);
    platform::NotificationCenter::defaultCenter().post(assetCreatedNotification, asset);
    return specifier;
}

std::optional<fs::path> FCPShareMakeCommand::requestURL(const std::string& name) {
    auto start = destinationFolder().value_or(fs::path());
    const bool overridden = destinationFolder() != platform::userDocumentsFolder();
    if (overridden && folderExists(start)) {
        const auto imports = start / "Imports";
        std::error_code error;
        if (!folderExists(imports)) {
            fs::create_directories(imports, error);
        }
        if (error) {
            KOLT_LOG_ERROR("requestURL(named:)", error.message());
        } else {
            start = imports;
        }
    }
    const auto panel = savePanel();
    if (!panel) {
        return std::nullopt;
    }
    platform::SavePanelOptions options;
    options.title = "Save exported files from Final Cut Pro...";
    options.directory = start;
    options.nameFieldStringValue = name;
    options.allowedContentTypes = {"com.apple.quicktime-movie"};
    options.canCreateDirectories = true;
    return panel->runModal(options);
}

std::optional<fs::path> FCPShareMakeCommand::createDefaultURL(const std::string& name) {
    auto folder = destinationFolder();
    if (!folder) {
        folder = platform::userDocumentsFolder();
    }
    if (!folder) {
        KOLT_LOG_ERROR("createDefaultURL(named:)", "No destination to import to");
        return std::nullopt;
    }
    if (!folderExists(*folder)) {
        std::error_code error;
        fs::create_directories(*folder, error);
        if (error) {
            KOLT_LOG_ERROR("createDefaultURL(named:)", error.message());
            return std::nullopt;
        }
    }
    return *folder / (name + ".mov");
}

std::shared_ptr<FCPShareAsset>
FCPShareMakeCommand::createAsset(const std::shared_ptr<FCPShareDocument>& document,
                                 const std::optional<ScriptValue::Dictionary>& metadata,
                                 const std::optional<ScriptValue::Dictionary>& dataOptions,
                                 const fs::path& location) {
    KOLT_LOG_DEBUG("createAsset(document:metadata:dataOptions:at:)", "making asset at",
                   location.string());
    const long index = document->addAssetAtURL(location, true, metadata, dataOptions);
    const auto assets = document->assets();
    if (index < 0 || static_cast<std::size_t>(index) >= assets.size() ||
        !assets[static_cast<std::size_t>(index)]) {
        KOLT_LOG_ERROR("createAsset(document:metadata:dataOptions:at:)", "Failed to make Asset");
        setScriptError(errAEEventNotHandled, "Failed to make Asset");
        return nullptr;
    }
    return assets[static_cast<std::size_t>(index)];
}

} // namespace kvnfcpx
