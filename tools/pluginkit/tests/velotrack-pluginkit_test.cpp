// The stand-in registry tool as its callers meet it: the built program, run in processes of its
// own, with its state in a temporary folder.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string output;
    std::string error;
};

std::string shellQuoted(const std::string& text) {
    std::string result = "'";
    for (const char character : text) {
        result += character == '\'' ? std::string("'\\''") : std::string(1, character);
    }
    return result + "'";
}

std::string readFile(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

// Pattern letters: H an upper-case hexadecimal digit, V one of 8, 9, A, B (the UUID variant), D a
// decimal digit; anything else stands for itself.
bool matchesPattern(const std::string& text, std::string_view pattern) {
    if (text.size() != pattern.size()) {
        return false;
    }
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char character = text[index];
        const bool matches = [&] {
            switch (pattern[index]) {
            case 'H':
                return std::string_view("0123456789ABCDEF").find(character) != std::string::npos;
            case 'V':
                return std::string_view("89AB").find(character) != std::string::npos;
            case 'D':
                return character >= '0' && character <= '9';
            default:
                return character == pattern[index];
            }
        }();
        if (!matches) {
            return false;
        }
    }
    return true;
}

class StandInTool : public ::testing::Test {
protected:
    StandInTool() {
        const auto parent = fs::path(VELOTRACK_BINARY_DIR) / "test-folders";
        fs::create_directories(parent);
        std::string pattern = (parent / "pluginkit-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        root_ = pattern;
        fs::create_directories(state());
    }
    ~StandInTool() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path state() const { return root_ / "state"; }

    std::string bundle(const std::string& name, const std::string& identifier,
                       const std::string& version) const {
        const auto folder = root_ / name;
        fs::create_directories(folder / "Contents");
        std::ofstream(folder / "Contents" / "Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            << "<key>CFBundleIdentifier</key><string>" << identifier << "</string>"
            << "<key>CFBundleShortVersionString</key><string>" << version << "</string>"
            << "</dict></plist>\n";
        return folder.string();
    }

    // Runs the tool with the state folder set, from `workingFolder` when given.
    ToolRun run(const std::vector<std::string>& args, const fs::path& workingFolder = {}) const {
        std::string command = "XDG_STATE_HOME=" + shellQuoted(state().string()) + " ";
        if (!workingFolder.empty()) {
            command = "cd " + shellQuoted(workingFolder.string()) + " && " + command;
        }
        command += shellQuoted(VELOTRACK_PLUGINKIT_TOOL);
        for (const auto& argument : args) {
            // Appended in two steps: GCC 12 at -O3 reports a false -Wrestrict inside the inlined
            // `" " + std::string&&`.
            command += ' ';
            command += shellQuoted(argument);
        }
        const auto errorFile = root_ / "stderr.txt";
        command += " 2>" + shellQuoted(errorFile.string());
        ToolRun result;
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[4096];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            result.output.append(buffer, count);
        }
        const int status = ::pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.error = readFile(errorFile);
        return result;
    }

    fs::path root_;
};

TEST_F(StandInTool, PrintsOneLineInTheRegistryFormat) {
    const auto nothing = run({"-v", "-m", "-i", "com.korvane.example"});
    EXPECT_EQ(nothing.status, 0);
    EXPECT_EQ(nothing.output, "");

    bundle("Example.appex", "com.korvane.example", "1.2");
    // A relative path is registered as an absolute one.
    EXPECT_EQ(run({"-a", "Example.appex/"}, root_).status, 0);
    const auto listed = run({"-v", "-m", "-i", "com.korvane.example"});
    EXPECT_EQ(listed.status, 0);
    // "+    <identifier>(<version>)\t<UUID>\t<date>\t<path>\n", field by field.
    const auto fields = [&] {
        std::vector<std::string> parts;
        std::istringstream text(listed.output);
        for (std::string part; std::getline(text, part, '\t');) {
            parts.push_back(part);
        }
        return parts;
    }();
    ASSERT_EQ(fields.size(), 4u) << listed.output;
    EXPECT_EQ(fields[0], "+    com.korvane.example(1.2)");
    EXPECT_TRUE(matchesPattern(fields[1], "HHHHHHHH-HHHH-4HHH-VHHH-HHHHHHHHHHHH")) << fields[1];
    EXPECT_TRUE(matchesPattern(fields[2], "DDDD-DD-DD DD:DD:DD +0000")) << fields[2];
    EXPECT_EQ(fields[3], (root_ / "Example.appex").string() + "\n");
}

TEST_F(StandInTool, ElectsTheMostRecentRegistrationAndListsEveryCopy) {
    const auto first = bundle("First.appex", "com.korvane.example", "1.0");
    const auto second = bundle("Second.appex", "com.korvane.example", "2.0");
    const auto other = bundle("Other.appex", "com.korvane.other", "1.0");
    for (const auto& path : {first, second, other}) {
        ASSERT_EQ(run({"-a", path}).status, 0);
    }
    const auto copies = [&] {
        std::vector<std::string> paths;
        std::istringstream lines(run({"-vD", "-m", "-i", "com.korvane.example"}).output);
        for (std::string text; std::getline(lines, text);) {
            paths.push_back(text.substr(text.rfind('\t') + 1));
        }
        return paths;
    };
    EXPECT_THAT(copies(), ::testing::ElementsAre(second, first));
    EXPECT_THAT(run({"-v", "-m", "-i", "com.korvane.example"}).output,
                ::testing::HasSubstr("(2.0)"));

    // Registering again replaces the entry and makes it the elected one.
    ASSERT_EQ(run({"-a", first}).status, 0);
    EXPECT_THAT(copies(), ::testing::ElementsAre(first, second));

    EXPECT_EQ(run({"-r", first}).status, 0);
    EXPECT_THAT(copies(), ::testing::ElementsAre(second));
    EXPECT_EQ(run({"-r", first}).status, 0);
    EXPECT_THAT(run({"-vD", "-m", "-i", "com.korvane.other"}).output,
                ::testing::EndsWith("\t" + other + "\n"));
}

TEST_F(StandInTool, RefusesWhatIsNotABundle) {
    const auto missing = (root_ / "Missing.appex").string();
    const auto refused = run({"-a", missing});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output, "");
    EXPECT_EQ(refused.error, "velotrack-pluginkit: " + missing + " is not an extension bundle\n");

    fs::create_directories(root_ / "Broken.appex" / "Contents");
    std::ofstream(root_ / "Broken.appex" / "Contents" / "Info.plist") << "<plist><dict>";
    EXPECT_EQ(run({"-a", (root_ / "Broken.appex").string()}).status, 1);

    EXPECT_NE(run({"-x"}).status, 0);
}

TEST_F(StandInTool, ConcurrentRegistrationsLoseNothing) {
    constexpr int count = 24;
    std::string script;
    for (int index = 0; index < count; ++index) {
        const auto path =
            bundle("Copy" + std::to_string(index) + ".appex", "com.korvane.example", "1.0");
        script += "XDG_STATE_HOME=" + shellQuoted(state().string()) + " " +
                  shellQuoted(VELOTRACK_PLUGINKIT_TOOL) + " -a " + shellQuoted(path) + " & ";
    }
    script += "wait";
    ASSERT_EQ(std::system(("sh -c " + shellQuoted(script)).c_str()), 0);

    const auto listed = run({"-vD", "-m", "-i", "com.korvane.example"}).output;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), count);
    // Only the registrations and the lock are left: no temporary file survives.
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(state() / "velotrack")) {
        files.push_back(entry.path().filename().string());
    }
    EXPECT_THAT(files, ::testing::UnorderedElementsAre("pluginkit-registrations",
                                                       "pluginkit-registrations.lock"));
}

} // namespace
