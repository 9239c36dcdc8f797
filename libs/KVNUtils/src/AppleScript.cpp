#include "kvnutils/AppleScript.h"

#include "koltutils/DescribedError.h"
#include "koltutils/Log.h"

#include <limits>
#include <mutex>

namespace kvnutils {
namespace {

std::mutex engineMutex;
std::shared_ptr<const ScriptEngine> currentEngine;

bool isUserCancellation(const std::optional<long long>& number) {
    return number && *number >= std::numeric_limits<std::int16_t>::min() &&
           *number <= std::numeric_limits<std::int16_t>::max() &&
           static_cast<std::int16_t>(*number) ==
               static_cast<std::int16_t>(AppleScript::ErrorCode::userCanceledErr);
}

} // namespace

std::shared_ptr<const ScriptEngine> AppleScript::engine() {
    const std::lock_guard lock(engineMutex);
    if (!currentEngine) {
        currentEngine = ScriptEngine::makeDefault();
    }
    return currentEngine;
}

void AppleScript::setEngine(std::shared_ptr<const ScriptEngine> engine) {
    const std::lock_guard lock(engineMutex);
    currentEngine = std::move(engine);
}

void AppleScript::execute(std::string_view command) {
    const auto outcome = engine()->run(command);
    if (!outcome || outcome->result || !outcome->error) {
        return;
    }
    const auto& error = *outcome->error;
    KOLT_LOG_ERROR("execute(command:)", error.description());
    // A user who dismisses the authorisation prompt has changed their mind; nothing failed.
    if (isUserCancellation(error.errorNumber)) {
        return;
    }
    throw koltutils::DescribedError(error.errorMessage.value_or("There was an error"));
}

void AppleScript::executeShellCommand(std::string_view shellCommand,
                                      bool withAdministratorPrivledges) {
    execute(shellCommandScript(shellCommand, withAdministratorPrivledges));
}

void AppleScript::open(const std::filesystem::path& application, const std::filesystem::path& file,
                       bool posix) {
    execute(openScript(application, file, posix));
}

void AppleScript::authMoveItem(const std::filesystem::path& source,
                               const std::filesystem::path& destination) {
    executeShellCommand(moveCommand(source, destination), true);
}

void AppleScript::authRemoveItem(const std::filesystem::path& path) {
    executeShellCommand(removeCommand(path), true);
}

std::string AppleScript::shellCommandScript(std::string_view shellCommand,
                                            bool withAdministratorPrivledges) {
    auto script = "do shell script " + stringLiteral(shellCommand);
    if (withAdministratorPrivledges) {
        script += "  with administrator privileges";
    }
    return script;
}

std::string AppleScript::openScript(const std::filesystem::path& application,
                                    const std::filesystem::path& file, bool posix) {
    return "tell application " + stringLiteral(application.string()) + "\n    activate\n    open" +
           (posix ? " POSIX" : "") + " file " + stringLiteral(file.string()) + "\nend tell";
}

std::string AppleScript::moveCommand(const std::filesystem::path& source,
                                     const std::filesystem::path& destination) {
    return "rm -rf " + shellQuoted(destination) + "; mv " + shellQuoted(source) + " " +
           shellQuoted(destination);
}

std::string AppleScript::removeCommand(const std::filesystem::path& path) {
    return "rm -rf " + shellQuoted(path);
}

std::string AppleScript::shellQuoted(const std::filesystem::path& path) {
    std::string text = path.string();
    if (text.starts_with('-')) {
        text.insert(0, "./");
    }
    std::string quoted = "'";
    for (const char character : text) {
        if (character == '\'') {
            quoted += "'\\''";
        } else {
            quoted += character;
        }
    }
    return quoted + "'";
}

std::string AppleScript::stringLiteral(std::string_view text) {
    std::string literal = "\"";
    for (const char character : text) {
        if (character == '\\' || character == '"') {
            literal += '\\';
        }
        literal += character;
    }
    return literal + "\"";
}

} // namespace kvnutils
