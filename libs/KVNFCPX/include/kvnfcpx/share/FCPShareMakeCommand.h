#pragma once

#include "kvnfcpx/share/AppleEventDescriptor.h"
#include "kvnfcpx/share/FCPShareAsset.h"
#include "kvnfcpx/share/FCPShareDocument.h"
#include "kvnfcpx/share/FCPShareDocumentController.h"
#include "kvnfcpx/share/ObjectAddress.h"
#include "kvnfcpx/share/ScriptValue.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <platform/SavePanel.h>
#include <string>

namespace kvnfcpx {

// The scripting "make" command through which the editor asks for a new share asset. One command
// object handles one event: it checks the arguments, picks the document, decides where the
// movie goes (a save panel or the default folder), creates the asset there, answers with the
// asset's specifier and posts `assetCreatedNotification` with the asset as object.
class FCPShareMakeCommand {
public:
    static constexpr const char* assetCreatedNotification =
        "com.korvane.KVN.FCPShareMakeCommand.assetCreated";
    // The asset class of the scripting definition ('KVas').
    static constexpr FourCharCode assetClassCode = fourCharCode("KVas");

    // The event's interaction level, as the editor sends it.
    static constexpr std::int32_t neverInteract = 0x10;
    static constexpr std::int32_t canInteract = 0x20;
    static constexpr std::int32_t alwaysInteract = 0x30;
    static constexpr std::int32_t canSwitchLayer = 0x40;

    // Script errors of the scripting layer.
    static constexpr int errAEParamMissed = -1715;
    static constexpr int errAEEventNotHandled = -1708;

    // Settable process-wide values: whether a permitted event may show the save panel (true),
    // the folder the movies go to (the user's Documents folder until one is set), and the save
    // panel itself (none: a request for one is answered as cancelled).
    static bool showsSavePanel();
    static void setShowsSavePanel(bool shows);
    static std::optional<std::filesystem::path> destinationFolder();
    static void setDestinationFolder(std::optional<std::filesystem::path> folder);
    static std::shared_ptr<platform::SavePanel> savePanel();
    static void setSavePanel(std::shared_ptr<platform::SavePanel> panel);

    // `evaluatedArguments` as the scripting layer evaluated them ("ObjectClass",
    // "KeyDictionary"); `interactionLevel` -1 when the event carries none.
    FCPShareMakeCommand(
        std::optional<ScriptValue::Dictionary> evaluatedArguments, std::int32_t interactionLevel,
        FCPShareDocumentController& controller = FCPShareDocumentController::shared());
    virtual ~FCPShareMakeCommand() = default;

    std::optional<ObjectAddress> performDefaultImplementation();

    std::shared_ptr<FCPShareAsset>
    createAsset(const std::shared_ptr<FCPShareDocument>& document,
                const std::optional<ScriptValue::Dictionary>& metadata,
                const std::optional<ScriptValue::Dictionary>& dataOptions,
                const std::filesystem::path& location);
    std::optional<std::filesystem::path> requestURL(const std::string& name);
    std::optional<std::filesystem::path> createDefaultURL(const std::string& name);

    std::int32_t interactionLevel() const { return interactionLevel_; }
    // 0 while no script error was set.
    int scriptErrorNumber() const { return scriptErrorNumber_; }
    // Why the script error was set (the logged reason where there is one).
    const std::string& scriptErrorString() const { return scriptErrorString_; }
    // Suspension while the save panel is up, and the result the command was resumed with.
    bool isSuspended() const { return suspended_; }
    const std::optional<ObjectAddress>& resumedResult() const { return resumedResult_; }
    // The asset the last successful pass made.
    std::shared_ptr<FCPShareAsset> createdAsset() const { return createdAsset_; }

    std::string description() const;

protected:
    // The platform's create command, for classes other than the asset. It knows no other class
    // here and answers none without a script error.
    virtual std::optional<ObjectAddress> performStandardCreate() { return std::nullopt; }

private:
    void suspendExecution() { suspended_ = true; }
    void resumeExecution(std::optional<ObjectAddress> result);
    void setScriptError(int number, std::string reason);
    std::optional<ObjectAddress> failWith(int errorNumber, std::string reason);

    std::optional<ScriptValue::Dictionary> evaluatedArguments_;
    std::int32_t interactionLevel_;
    FCPShareDocumentController& controller_;
    int scriptErrorNumber_ = 0;
    std::string scriptErrorString_;
    bool suspended_ = false;
    std::optional<ObjectAddress> resumedResult_;
    std::shared_ptr<FCPShareAsset> createdAsset_;
};

} // namespace kvnfcpx
