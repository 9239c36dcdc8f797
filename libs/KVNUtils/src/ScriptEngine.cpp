#include "kvnutils/ScriptEngine.h"

#include "platform/Process.h"

#include <charconv>

namespace kvnutils {
namespace {

// A property-list string as the platform prints it in descriptions.
std::string plistString(std::string_view text) {
    std::string result = "\"";
    for (const char character : text) {
        switch (character) {
        case '"':
        case '\\':
            result += '\\';
            result += character;
            break;
        case '\n':
            result += "\\n";
            break;
        default:
            result += character;
        }
    }
    return result + '"';
}

std::string withoutTrailingLineBreak(std::string text) {
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

} // namespace

std::string ScriptEngine::ErrorInfo::description() const {
    std::string text = "{";
    if (errorMessage) {
        text += "NSAppleScriptErrorMessage = " + plistString(*errorMessage) + ";";
    }
    if (errorNumber) {
        text += (errorMessage ? " " : "") + std::string("NSAppleScriptErrorNumber = ") +
                std::to_string(*errorNumber) + ";";
    }
    return text + "}";
}

std::shared_ptr<ScriptEngine> ScriptEngine::makeDefault() {
    if (auto osascript = platform::findExecutable("osascript")) {
        return std::make_shared<OsascriptEngine>(std::move(*osascript));
    }
    return std::make_shared<ScriptInterpreter>();
}

OsascriptEngine::OsascriptEngine(std::filesystem::path osascript)
    : osascript_(std::move(osascript)) {}

std::optional<ScriptEngine::Outcome> OsascriptEngine::run(std::string_view source) const {
    platform::Process process(osascript_, {"-e", std::string(source)});
    try {
        process.launch();
    } catch (const platform::ProcessLaunchError&) {
        return std::nullopt;
    }
    auto termination = process.waitUntilExit();
    if (termination.status == 0) {
        return Outcome{withoutTrailingLineBreak(std::move(termination.standardOutput)),
                       std::nullopt};
    }
    if (termination.standardError.empty()) {
        return Outcome{};
    }
    return Outcome{std::nullopt,
                   errorInfoFromDiagnostic(withoutTrailingLineBreak(termination.standardError))};
}

ScriptEngine::ErrorInfo OsascriptEngine::errorInfoFromDiagnostic(std::string_view diagnostic) {
    ErrorInfo info;
    auto message = diagnostic;
    if (const auto marker = message.find(" error: "); marker != std::string_view::npos) {
        message.remove_prefix(marker + 8);
    }
    // The number closes the line in parentheses.
    const auto open = message.rfind(" (");
    if (open != std::string_view::npos && message.ends_with(')')) {
        const auto digits = message.substr(open + 2, message.size() - open - 3);
        long long number = 0;
        const auto [end, failure] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (failure == std::errc{} && end == digits.data() + digits.size()) {
            info.errorNumber = number;
            message = message.substr(0, open);
        }
    }
    info.errorMessage = std::string(message);
    return info;
}

} // namespace kvnutils
