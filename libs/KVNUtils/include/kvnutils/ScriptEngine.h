#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace platform {
class Workspace;
}

namespace kvnutils {

// Compiles and runs script text: the platform's scripting engine seen from AppleScript.
class ScriptEngine {
public:
    // The error information a failed run reports (the engine's "NSAppleScriptErrorNumber" and
    // "NSAppleScriptErrorMessage").
    struct ErrorInfo {
        std::optional<long long> errorNumber;
        std::optional<std::string> errorMessage;

        // The dictionary as the platform prints one, keys in order:
        // {NSAppleScriptErrorMessage = "..."; NSAppleScriptErrorNumber = -128;}
        std::string description() const;
        bool operator==(const ErrorInfo&) const = default;
    };

    // How a run ended: a result, error information, or (both empty) a failure without any.
    struct Outcome {
        std::optional<std::string> result;
        std::optional<ErrorInfo> error;
        bool operator==(const Outcome&) const = default;
    };

    ScriptEngine() = default;
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;
    virtual ~ScriptEngine() = default;

    // Runs `source` to its end on the calling thread. None when the engine refuses to create a
    // script from the text at all.
    virtual std::optional<Outcome> run(std::string_view source) const = 0;

    // "osascript" when it is on PATH, otherwise a ScriptInterpreter.
    static std::shared_ptr<ScriptEngine> makeDefault();
};

// The platform's own engine through its command-line tool.
class OsascriptEngine final : public ScriptEngine {
public:
    explicit OsascriptEngine(std::filesystem::path osascript);
    std::optional<Outcome> run(std::string_view source) const override;

    // The error information in the tool's diagnostic line,
    // "0:12: execution error: User canceled. (-128)".
    static ErrorInfo errorInfoFromDiagnostic(std::string_view diagnostic);

private:
    std::filesystem::path osascript_;
};

// Where there is no scripting engine: runs exactly the script forms this system builds,
//
//   do shell script "<command>"[  with administrator privileges]
//
//   tell application "<application path>"
//       activate
//       open [POSIX ]file "<file path>"
//   end tell
//
// String literals take the escapes \" \\ \n \r \t and may hold line breaks. Shell commands run
// through "/bin/sh -c"; with administrator privileges they run through pkexec unless the
// process is root already. A command exiting non-zero fails with its status as the error number
// and its standard error (less one trailing line break) as the message; pkexec dismissed or
// refused (status 126 or 127) is the user's cancellation, -128. Opening hands the file to the
// application bundle through the workspace. Any other text fails with a syntax error (-2741).
class ScriptInterpreter final : public ScriptEngine {
public:
    struct ShellScript {
        std::string command;
        bool withAdministratorPrivileges = false;
        bool operator==(const ShellScript&) const = default;
    };
    struct OpenScript {
        std::string application;
        std::string file;
        bool posix = false;
        bool operator==(const OpenScript&) const = default;
    };
    using Script = std::variant<ShellScript, OpenScript>;

    struct Configuration {
        std::filesystem::path shell;
        // The program that runs a command line as root, given the shell and its arguments.
        std::filesystem::path elevator;
        // Whether administrator privileges go through `elevator` (false when already root).
        bool elevates = false;
        const platform::Workspace* workspace = nullptr;
    };

    // "/bin/sh", "pkexec" from PATH, elevating unless root, the system workspace.
    ScriptInterpreter();
    explicit ScriptInterpreter(Configuration configuration);

    std::optional<Outcome> run(std::string_view source) const override;

    // The script the text is, or none for text outside the forms above.
    static std::optional<Script> parse(std::string_view source);

private:
    Outcome runShell(const ShellScript& script) const;
    Outcome runOpen(const OpenScript& script) const;

    Configuration configuration_;
};

} // namespace kvnutils
