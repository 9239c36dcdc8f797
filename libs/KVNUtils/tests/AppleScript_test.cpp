#include "koltutils/DescribedError.h"
#include "koltutils/ScopedLogCapture.h"
#include "kvnutils/AppleScript.h"
#include "platform/Process.h"
#include "platform/Workspace.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <thread>

namespace kvnutils {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Optional;
using namespace std::chrono_literals;

// Every character a shell or a script string could take for syntax.
const std::string awkwardName = "-it's \"q\" $(touch pwned) `touch tick` \\n back\\ $HOME\nline 2";

std::string readFile(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), {}};
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "velotrack-scripts-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// What /bin/sh makes of the word.
std::string echoedByShell(const std::string& word) {
    platform::Process process("/bin/sh", {"-c", "printf '%s' " + word});
    process.launch();
    return process.waitUntilExit().standardOutput;
}

TEST(AppleScriptQuoting, ShellQuotedPathIsOneLiteralWord) {
    for (const std::string text : {"plain", "with space", "it's", "''", "\"q\"", "$(id)", "$HOME",
                                   "`id`", "back\\slash", "line\nbreak", "*", "a;b|c&d"}) {
        EXPECT_EQ(echoedByShell(AppleScript::shellQuoted(text)), text) << text;
    }
    EXPECT_EQ(AppleScript::shellQuoted("/a b/c"), "'/a b/c'");
    // No command takes it for an option, and it still names the same file.
    EXPECT_EQ(AppleScript::shellQuoted("-rf"), "'./-rf'");
    EXPECT_EQ(AppleScript::shellQuoted("/x/-rf"), "'/x/-rf'");
}

TEST(AppleScriptQuoting, StringLiteralEscapesOnlyBackslashAndQuote) {
    EXPECT_EQ(AppleScript::stringLiteral("a\"b\\c $`x`\nd"), "\"a\\\"b\\\\c $`x`\nd\"");
    for (const std::string command :
         {"plain", "\"", "\\", "\\\"", "echo \"$HOME\" `id` \\n", "two\nlines", "end\\"}) {
        const auto script =
            ScriptInterpreter::parse(AppleScript::shellCommandScript(command, true));
        EXPECT_THAT(script, Optional(ScriptInterpreter::Script{
                                ScriptInterpreter::ShellScript{command, true}}))
            << command;
    }
}

TEST(AppleScriptTexts, ScriptsAndCommandsForPlainPaths) {
    EXPECT_EQ(AppleScript::shellCommandScript("ls -l", false), "do shell script \"ls -l\"");
    EXPECT_EQ(AppleScript::shellCommandScript("ls", true),
              "do shell script \"ls\"  with administrator privileges");
    EXPECT_EQ(AppleScript::openScript("/Applications/A.app", "/tmp/f.txt", false),
              "tell application \"/Applications/A.app\"\n    activate\n    open file "
              "\"/tmp/f.txt\"\nend tell");
    EXPECT_EQ(AppleScript::openScript("/A.app", "/f", true),
              "tell application \"/A.app\"\n    activate\n    open POSIX file \"/f\"\nend tell");
    EXPECT_EQ(AppleScript::moveCommand("/a/src", "/b/dst"),
              "rm -rf '/b/dst'; mv '/a/src' '/b/dst'");
    EXPECT_EQ(AppleScript::removeCommand("/a/x"), "rm -rf '/a/x'");
}

TEST(ScriptInterpreterParse, OpenScriptWithLineBreaksInsideItsStrings) {
    const std::string application = "/Apps/New\nline.app";
    const std::string file = "/tmp/end tell\n    open file \"x\"";
    EXPECT_THAT(ScriptInterpreter::parse(AppleScript::openScript(application, file, true)),
                Optional(ScriptInterpreter::Script{
                    ScriptInterpreter::OpenScript{application, file, true}}));
    EXPECT_THAT(
        ScriptInterpreter::parse(AppleScript::openScript("/A.app", "/f", false)),
        Optional(ScriptInterpreter::Script{ScriptInterpreter::OpenScript{"/A.app", "/f", false}}));
    for (const std::string source :
         {"", "do shell script", "do shell script \"unterminated", "do shell script \"x\" more",
          "do shell script \"bad \\q escape\"",
          "tell application \"/A.app\"\n    open file "
          "\"/f\"\nend tell",
          "tell application \"/A.app\" activate open file \"/f\" end tell",
          "display dialog \"hi\""}) {
        EXPECT_EQ(ScriptInterpreter::parse(source), std::nullopt) << source;
    }
}

TEST(OsascriptEngine, DiagnosticLineGivesNumberAndMessage) {
    EXPECT_EQ(
        OsascriptEngine::errorInfoFromDiagnostic("0:12: execution error: User canceled. (-128)"),
        (ScriptEngine::ErrorInfo{-128, "User canceled."}));
    EXPECT_EQ(OsascriptEngine::errorInfoFromDiagnostic("something odd (x)"),
              (ScriptEngine::ErrorInfo{std::nullopt, "something odd (x)"}));
}

// Runs scripts through the interpreter, its privileged path through a stand-in for pkexec.
class AppleScriptRun : public ::testing::Test {
protected:
    void useInterpreter(const fs::path& elevator = "/usr/bin/env") {
        AppleScript::setEngine(std::make_shared<ScriptInterpreter>(ScriptInterpreter::Configuration{
            "/bin/sh", elevator, true, &platform::Workspace::shared()}));
    }
    void SetUp() override { useInterpreter(); }
    void TearDown() override { AppleScript::setEngine(nullptr); }

    fs::path makeTool(const std::string& name, const std::string& script) const {
        const auto tool = folder.path() / name;
        writeFile(tool, "#!/bin/sh\n" + script);
        fs::permissions(tool, fs::perms::owner_all);
        return tool;
    }

    TemporaryFolder folder;
};

TEST_F(AppleScriptRun, AwkwardPathsSurviveEveryShellCommandForm) {
    const auto source = folder.path() / awkwardName;
    const auto destination = folder.path() / ("dest " + awkwardName);
    const auto output = folder.path() / ("out " + awkwardName);
    writeFile(source, "moved");
    fs::create_directory(destination);
    writeFile(destination / "old", "replaced");

    AppleScript::executeShellCommand("printf '%s' " + AppleScript::shellQuoted(source) + " > " +
                                         AppleScript::shellQuoted(output),
                                     false);
    EXPECT_EQ(readFile(output), source.string());

    AppleScript::authMoveItem(source, destination);
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(readFile(destination), "moved");

    AppleScript::authRemoveItem(destination);
    AppleScript::authRemoveItem(output);
    // Only the folder itself is left: nothing was run from a name, nothing else removed.
    EXPECT_THAT(std::vector(fs::directory_iterator(folder.path()), fs::directory_iterator()),
                IsEmpty());
}

TEST_F(AppleScriptRun, FailingCommandThrowsItsErrorOutputAndLogsTheDictionary) {
    koltutils::ScopedLogCapture capture;
    try {
        AppleScript::executeShellCommand("echo 'it broke' >&2; exit 3", false);
        FAIL() << "a failing command passed";
    } catch (const koltutils::DescribedError& error) {
        EXPECT_STREQ(error.what(), "it broke");
    }
    EXPECT_THAT(capture.lines(), ElementsAre(EndsWith(":{NSAppleScriptErrorMessage = \"it broke\"; "
                                                      "NSAppleScriptErrorNumber = 3;}")));
    EXPECT_NO_THROW(AppleScript::executeShellCommand("exit 0", true));
    EXPECT_THROW(AppleScript::execute("display dialog \"hi\""), koltutils::DescribedError);
}

TEST_F(AppleScriptRun, DismissedAuthorisationIsNoError) {
    const auto marker = folder.path() / "ran";
    for (const char* status : {"126", "127"}) {
        useInterpreter(makeTool(std::string("elevator-") + status, std::string("exit ") + status));
        EXPECT_NO_THROW(AppleScript::authRemoveItem(folder.path()));
        EXPECT_TRUE(fs::exists(folder.path()));
    }
    // Without administrator privileges the same statuses are the command's own failure.
    EXPECT_THROW(AppleScript::executeShellCommand("exit 126", false), koltutils::DescribedError);
    useInterpreter(folder.path() / "no-such-elevator");
    EXPECT_THROW(AppleScript::authRemoveItem(marker), koltutils::DescribedError);
}

TEST_F(AppleScriptRun, OpenHandsTheFileToTheApplicationBundle) {
    const auto record = folder.path() / "opened";
    const auto bundle = folder.path() / "Recorder.app";
    fs::create_directories(bundle / "Contents" / "MacOS");
    writeFile(bundle / "Contents" / "Info.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
              "<key>CFBundleIdentifier</key><string>com.example.recorder</string>"
              "<key>CFBundleExecutable</key><string>recorder</string></dict></plist>\n");
    const auto executable =
        makeTool("recorder", "printf '%s' \"$1\" > '" + record.string() + ".part'\nmv '" +
                                 record.string() + ".part' '" + record.string() + "'\n");
    fs::rename(executable, bundle / "Contents" / "MacOS" / "recorder");
    const auto file = folder.path() / awkwardName;
    writeFile(file, "document");

    AppleScript::open(bundle, file, true);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!fs::exists(record) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(readFile(record), file.string());

    EXPECT_THROW(AppleScript::open(folder.path() / "Missing.app", file, true),
                 koltutils::DescribedError);
    EXPECT_THROW(AppleScript::open(bundle, folder.path() / "missing", false),
                 koltutils::DescribedError);
}

// The dictionary rules hold for any engine.
class ScriptedEngine final : public ScriptEngine {
public:
    explicit ScriptedEngine(std::optional<Outcome> outcome) : outcome_(std::move(outcome)) {}
    std::optional<Outcome> run(std::string_view) const override { return outcome_; }

private:
    std::optional<Outcome> outcome_;
};

TEST(AppleScriptExecute, ErrorDictionaryRules) {
    const auto runWith = [](std::optional<ScriptEngine::Outcome> outcome) {
        AppleScript::setEngine(std::make_shared<ScriptedEngine>(std::move(outcome)));
        AppleScript::execute("anything");
    };
    koltutils::ScopedLogCapture capture;
    EXPECT_NO_THROW(runWith(std::nullopt));
    EXPECT_NO_THROW(runWith(ScriptEngine::Outcome{}));
    EXPECT_NO_THROW(runWith(ScriptEngine::Outcome{"result", std::nullopt}));
    EXPECT_NO_THROW(runWith(ScriptEngine::Outcome{std::nullopt, {{-128, "User canceled."}}}));
    // Only a 16-bit number is the cancellation: 65408 has -128's low bits but is not one.
    EXPECT_THROW(runWith(ScriptEngine::Outcome{std::nullopt, {{65408, "big"}}}),
                 koltutils::DescribedError);
    try {
        runWith(ScriptEngine::Outcome{std::nullopt, {{-1728, std::nullopt}}});
        FAIL() << "an error without a message passed";
    } catch (const koltutils::DescribedError& error) {
        EXPECT_STREQ(error.what(), "There was an error");
    }
    EXPECT_THAT(capture.lines(),
                ElementsAre(HasSubstr("NSAppleScriptErrorNumber = -128;"), HasSubstr("= 65408;"),
                            EndsWith(":{NSAppleScriptErrorNumber = -1728;}")));
    AppleScript::setEngine(nullptr);
}

} // namespace
} // namespace kvnutils
