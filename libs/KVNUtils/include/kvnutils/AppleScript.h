#pragma once

#include "kvnutils/ScriptEngine.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace kvnutils {

// Runs script text through the scripting engine and builds the few scripts the system needs.
//
// The operations are synchronous: each blocks until its script has finished, so callers run them
// on a background queue (platform::DispatchQueue::global()), never on the main thread. A failed
// script throws koltutils::DescribedError with the engine's message; a user who cancels an
// authorisation prompt (userCanceledErr) is no error and returns normally.
//
// Every path reaches the shell as one literal argument whatever characters it holds: it is put
// in shell single quotes (shellQuoted), and the whole command is then written as a script string
// literal (stringLiteral).
class AppleScript {
public:
    AppleScript() = delete;

    enum class ErrorCode : std::int16_t { userCanceledErr = -128 };

    // Runs script source text.
    static void execute(std::string_view command);
    // Runs a shell command line through "do shell script", as root when asked.
    static void executeShellCommand(std::string_view shellCommand,
                                    bool withAdministratorPrivledges);
    // Opens `file` with the application bundle at `application`.
    static void open(const std::filesystem::path& application, const std::filesystem::path& file,
                     bool posix);
    // Replaces the item at `destination` with the one at `source`, as root.
    static void authMoveItem(const std::filesystem::path& source,
                             const std::filesystem::path& destination);
    // Deletes a file or folder, as root.
    static void authRemoveItem(const std::filesystem::path& path);

    // The texts the operations above run.
    static std::string shellCommandScript(std::string_view shellCommand,
                                          bool withAdministratorPrivledges);
    static std::string openScript(const std::filesystem::path& application,
                                  const std::filesystem::path& file, bool posix);
    static std::string moveCommand(const std::filesystem::path& source,
                                   const std::filesystem::path& destination);
    static std::string removeCommand(const std::filesystem::path& path);

    // The path as one shell word: in single quotes, each ' written as '\''. A relative path
    // starting with "-" is prefixed with "./" so that no command takes it for an option.
    static std::string shellQuoted(const std::filesystem::path& path);
    // The text as a script string literal: in double quotes, with \ and " escaped by \.
    static std::string stringLiteral(std::string_view text);

    // The engine scripts run on; ScriptEngine::makeDefault() until another is set. nullptr
    // restores the default.
    static std::shared_ptr<const ScriptEngine> engine();
    static void setEngine(std::shared_ptr<const ScriptEngine> engine);
};

} // namespace kvnutils
