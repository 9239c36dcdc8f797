#include "kvnutils/ScriptEngine.h"
#include "platform/Process.h"
#include "platform/Workspace.h"

#include <algorithm>
#include <cctype>
#include <unistd.h>
#include <vector>

namespace kvnutils {
namespace {

constexpr long long userCanceled = -128;
constexpr long long syntaxError = -2741;
constexpr long long fileNotFound = -43;
constexpr long long applicationNotFound = -10814;
// pkexec's statuses for a dismissed or refused authorisation.
constexpr int elevatorDismissed = 126;
constexpr int elevatorRefused = 127;

struct Token {
    enum class Kind { word, string, lineBreak } kind;
    std::string text;
};

bool isSpace(char character) {
    return character == ' ' || character == '\t';
}

bool isLineBreak(char character) {
    return character == '\n' || character == '\r';
}

bool isLetter(char character) {
    return std::isalpha(static_cast<unsigned char>(character)) != 0;
}

// Words, string literals and line breaks (runs of them as one). None for anything else.
std::optional<std::vector<Token>> tokens(std::string_view source) {
    std::vector<Token> result;
    std::size_t index = 0;
    while (index < source.size()) {
        const char character = source[index];
        if (isSpace(character)) {
            ++index;
        } else if (isLineBreak(character)) {
            if (result.empty() || result.back().kind != Token::Kind::lineBreak) {
                result.push_back({Token::Kind::lineBreak, {}});
            }
            ++index;
        } else if (isLetter(character)) {
            const auto start = index;
            while (index < source.size() && isLetter(source[index])) {
                ++index;
            }
            std::string word(source.substr(start, index - start));
            std::transform(word.begin(), word.end(), word.begin(), [](char letter) {
                return static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
            });
            result.push_back({Token::Kind::word, std::move(word)});
        } else if (character == '"') {
            std::string text;
            ++index;
            for (;;) {
                if (index >= source.size()) {
                    return std::nullopt;
                }
                const char next = source[index++];
                if (next == '"') {
                    break;
                }
                if (next != '\\') {
                    text += next;
                    continue;
                }
                if (index >= source.size()) {
                    return std::nullopt;
                }
                switch (const char escaped = source[index++]) {
                case 'n':
                    text += '\n';
                    break;
                case 'r':
                    text += '\r';
                    break;
                case 't':
                    text += '\t';
                    break;
                case '"':
                case '\\':
                    text += escaped;
                    break;
                default:
                    return std::nullopt;
                }
            }
            result.push_back({Token::Kind::string, std::move(text)});
        } else {
            return std::nullopt;
        }
    }
    // Line breaks around the script carry nothing.
    while (!result.empty() && result.back().kind == Token::Kind::lineBreak) {
        result.pop_back();
    }
    if (!result.empty() && result.front().kind == Token::Kind::lineBreak) {
        result.erase(result.begin());
    }
    return result;
}

// Walks a token list against the expected shape.
class Reader {
public:
    explicit Reader(const std::vector<Token>& tokens) : tokens_(tokens) {}

    bool word(std::string_view expected) {
        if (at(Token::Kind::word) && tokens_[index_].text == expected) {
            ++index_;
            return true;
        }
        return false;
    }
    bool words(std::initializer_list<std::string_view> expected) {
        return std::all_of(expected.begin(), expected.end(),
                           [this](std::string_view one) { return word(one); });
    }
    std::optional<std::string> string() {
        if (!at(Token::Kind::string)) {
            return std::nullopt;
        }
        return tokens_[index_++].text;
    }
    bool lineBreak() {
        if (at(Token::Kind::lineBreak)) {
            ++index_;
            return true;
        }
        return false;
    }
    bool atEnd() const { return index_ == tokens_.size(); }

private:
    bool at(Token::Kind kind) const {
        return index_ < tokens_.size() && tokens_[index_].kind == kind;
    }

    const std::vector<Token>& tokens_;
    std::size_t index_ = 0;
};

std::optional<ScriptInterpreter::Script> shellScript(const std::vector<Token>& list) {
    Reader reader(list);
    if (!reader.words({"do", "shell", "script"})) {
        return std::nullopt;
    }
    auto command = reader.string();
    if (!command) {
        return std::nullopt;
    }
    const bool privileged = reader.words({"with", "administrator", "privileges"});
    if (!reader.atEnd()) {
        return std::nullopt;
    }
    return ScriptInterpreter::ShellScript{std::move(*command), privileged};
}

std::optional<ScriptInterpreter::Script> openScript(const std::vector<Token>& list) {
    Reader reader(list);
    if (!reader.words({"tell", "application"})) {
        return std::nullopt;
    }
    auto application = reader.string();
    if (!application || !reader.lineBreak() || !reader.word("activate") || !reader.lineBreak() ||
        !reader.word("open")) {
        return std::nullopt;
    }
    const bool posix = reader.word("posix");
    if (!reader.word("file")) {
        return std::nullopt;
    }
    auto file = reader.string();
    if (!file || !reader.lineBreak() || !reader.words({"end", "tell"}) || !reader.atEnd()) {
        return std::nullopt;
    }
    return ScriptInterpreter::OpenScript{std::move(*application), std::move(*file), posix};
}

std::string withoutTrailingLineBreak(std::string text) {
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

ScriptEngine::Outcome failure(long long number, std::string message) {
    return {std::nullopt, ScriptEngine::ErrorInfo{number, std::move(message)}};
}

} // namespace

ScriptInterpreter::ScriptInterpreter()
    : ScriptInterpreter(Configuration{"/bin/sh",
                                      platform::findExecutable("pkexec").value_or("pkexec"),
                                      ::geteuid() != 0, &platform::Workspace::shared()}) {}

ScriptInterpreter::ScriptInterpreter(Configuration configuration)
    : configuration_(std::move(configuration)) {}

std::optional<ScriptInterpreter::Script> ScriptInterpreter::parse(std::string_view source) {
    const auto list = tokens(source);
    if (!list) {
        return std::nullopt;
    }
    if (auto script = shellScript(*list)) {
        return script;
    }
    return openScript(*list);
}

std::optional<ScriptEngine::Outcome> ScriptInterpreter::run(std::string_view source) const {
    const auto script = parse(source);
    if (!script) {
        return failure(syntaxError, "This engine runs only \"do shell script\" and \"tell "
                                    "application … open file\" scripts.");
    }
    if (const auto* shell = std::get_if<ShellScript>(&*script)) {
        return runShell(*shell);
    }
    return runOpen(std::get<OpenScript>(*script));
}

ScriptEngine::Outcome ScriptInterpreter::runShell(const ShellScript& script) const {
    const bool elevated = script.withAdministratorPrivileges && configuration_.elevates;
    std::vector<std::string> arguments{"-c", script.command};
    auto program = configuration_.shell;
    if (elevated) {
        arguments.insert(arguments.begin(), configuration_.shell.string());
        program = configuration_.elevator;
    }
    platform::Process process(program, std::move(arguments));
    try {
        process.launch();
    } catch (const platform::ProcessLaunchError& error) {
        return failure(elevatorRefused, error.what());
    }
    auto termination = process.waitUntilExit();
    if (termination.status == 0) {
        return {withoutTrailingLineBreak(std::move(termination.standardOutput)), std::nullopt};
    }
    if (elevated &&
        (termination.status == elevatorDismissed || termination.status == elevatorRefused)) {
        return failure(userCanceled, "User canceled.");
    }
    return failure(termination.status,
                   withoutTrailingLineBreak(std::move(termination.standardError)));
}

ScriptEngine::Outcome ScriptInterpreter::runOpen(const OpenScript& script) const {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(script.file, error))) {
        return failure(fileNotFound, "File " + script.file + " wasn’t found.");
    }
    if (!configuration_.workspace->openFile(script.file, script.application, {})) {
        return failure(applicationNotFound,
                       "Can’t get application \"" + script.application + "\".");
    }
    return {std::string{}, std::nullopt};
}

} // namespace kvnutils
