#pragma once

#include "kvnfcpx/share/FCPShareDocumentController.h"
#include "kvnfcpx/share/ScriptValue.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace kvnfcpx {

// The application's scripting interface on the session bus:
//
//   bus name   com.korvane.velotrack
//   object     /com/korvane/velotrack, interface com.korvane.velotrack.Scripting
//              Make(a{sv} arguments, u interactionLevel) -> o asset; signal AssetCreated(o asset)
//   documents  /com/korvane/velotrack/documents/<d>, interface com.korvane.velotrack.Document
//   assets     /com/korvane/velotrack/documents/<d>/assets/<a>, com.korvane.velotrack.Asset
//
// Make's arguments are turned into the scripting descriptors ('reco' with a 'usrf' list for
// a{sv}, 'list' for av, text, numbers) and evaluated as the scripting layer does before the make
// command sees them. A result without a script error answers "/"; a script error answers the
// bus error com.korvane.velotrack.ScriptError with the message "<number>: <reason>".
//
// The service lives on GLib's default main context, which the application's event loop runs; a
// headless program runs platform::RunLoop itself. Start, stop and destroy it on that loop's thread.
class ShareScriptingService {
public:
    static constexpr const char* busName = "com.korvane.velotrack";
    static constexpr const char* interfaceName = "com.korvane.velotrack.Scripting";
    static constexpr const char* assetInterfaceName = "com.korvane.velotrack.Asset";
    static constexpr const char* documentInterfaceName = "com.korvane.velotrack.Document";
    static constexpr const char* scriptErrorName = "com.korvane.velotrack.ScriptError";

    explicit ShareScriptingService(
        FCPShareDocumentController& controller = FCPShareDocumentController::shared());
    ~ShareScriptingService();
    ShareScriptingService(const ShareScriptingService&) = delete;
    ShareScriptingService& operator=(const ShareScriptingService&) = delete;

    // Connects to the bus at `address` (the session bus when none), exports the application
    // object and takes the bus name. False, with the reason in `error`, when the bus cannot be
    // reached or another process owns the name.
    bool start(const std::optional<std::string>& address = std::nullopt,
               std::string* error = nullptr);
    void stop();
    bool isRunning() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A program that drives the application over the bus (the command-line tool, tests).
class ShareScriptingClient {
public:
    struct ScriptError {
        int number = 0;
        std::string message;
    };
    // The asset's object path ("/" when the command answered nothing), a script error, or a
    // failure to reach the application (its text).
    struct MakeReply {
        std::optional<std::string> objectPath;
        std::optional<ScriptError> scriptError;
        std::optional<std::string> failure;
    };
    // A property as the bus gives it: text, a flag, or (locationInfo) a dictionary.
    using Property = ScriptValue;

    ShareScriptingClient(const ShareScriptingClient&) = delete;
    ShareScriptingClient& operator=(const ShareScriptingClient&) = delete;
    ShareScriptingClient(ShareScriptingClient&&) noexcept;
    ~ShareScriptingClient();

    // The bus at `address`, or the session bus; none with the reason in `error`.
    static std::unique_ptr<ShareScriptingClient> connect(const std::optional<std::string>& address,
                                                         std::string& error);

    // Sends Make. Whole numbers go as 32-bit integers ('i', or 'u' above its range), text as
    // 's', dictionaries as a{sv} and lists as av.
    MakeReply make(const ScriptValue::Dictionary& arguments, std::uint32_t interactionLevel);

    // Calls `observer` with the object path of every AssetCreated signal, on the main context
    // of the thread that subscribed (the main run loop for the main thread). The subscription
    // is in place when the call returns and lasts as long as the client.
    void subscribeAssetCreated(std::function<void(const std::string& objectPath)> observer);

    // Every property of an object's interface, or none with the reason in `error`.
    std::optional<std::map<std::string, Property>>
    properties(const std::string& objectPath, const std::string& interface, std::string& error);

private:
    struct Impl;
    explicit ShareScriptingClient(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace kvnfcpx
