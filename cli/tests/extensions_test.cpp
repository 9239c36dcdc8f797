// velotrack extensions: the built tool against real folders under a temporary system library and
// the stand-in registry it finds beside itself, with its state in a temporary folder.

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string contentsOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Table cells are separated by two or more spaces; a cell may hold single ones.
Strings cellsOf(const std::string& line) {
    Strings cells;
    for (auto start = line.find_first_not_of(' '); start != std::string::npos;
         start = line.find_first_not_of(' ', start)) {
        const auto end = std::min(line.find("  ", start), line.size());
        cells.push_back(line.substr(start, end - start));
        start = end;
    }
    return cells;
}

class VelotrackExtensions : public testing::Test {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "velotrack-extensions-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        directory_ = name;
        ::setenv("VELOTRACK_SYSTEM_LIBRARY", (directory_ / "Library").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (directory_ / "state").c_str(), 1);
        ::unsetenv("VELOTRACK_PLUGINKIT");
        // No editor is installed as far as the tool can see.
        ::setenv("VELOTRACK_APPLICATION_DIRS", (directory_ / "Applications").c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }

    fs::path write(const fs::path& relative, const std::string& text) const {
        fs::create_directories((directory_ / relative).parent_path());
        std::ofstream(directory_ / relative, std::ios::binary) << text;
        return directory_ / relative;
    }

    std::string appex(const std::string& name) const {
        write(name + "/Contents/Info.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
              "<key>CFBundleIdentifier</key><string>com.korvane.velotrack.extension</string>"
              "<key>CFBundleShortVersionString</key><string>1.0</string></dict></plist>\n");
        return (directory_ / name).string();
    }

    Outcome run(Strings arguments) const {
        const auto out = directory_ / "stdout";
        const auto err = directory_ / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        arguments.insert(arguments.begin(), VELOTRACK_EXECUTABLE);
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        pid_t child = 0;
        Outcome outcome;
        if (posix_spawn(&child, VELOTRACK_EXECUTABLE, &actions, nullptr, argv.data(), environ) ==
            0) {
            int status = 0;
            waitpid(child, &status, 0);
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        outcome.out = contentsOf(out);
        outcome.err = contentsOf(err);
        return outcome;
    }

    fs::path directory_;
};

TEST_F(VelotrackExtensions, ListsEveryHostAsTableAndJSON) {
    const std::string premiere = "Library/Application Support/Adobe/CEP/extensions/"
                                 "com.korvane.ppro.bridge";
    write(premiere + "/CSXS/manifest.xml", "<ExtensionManifest ExtensionBundleVersion=\"1.0.4\"/>");
    write(premiere + "/META-INF/signatures.xml", "<signatures/>");

    const auto json = run({"extensions", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto rows = nlohmann::ordered_json::parse(json.out);
    ASSERT_EQ(rows.size(), 5u);
    Strings keys;
    for (const auto& item : rows[1].items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys,
              (Strings{"case", "name", "hostInstalled", "extensionInstalled", "signed",
                       "installedVersion", "shippedVersion", "needsUpdate", "extensionPath"}));
    EXPECT_EQ(rows[1]["case"], "premiere");
    EXPECT_EQ(rows[1]["installedVersion"], "1.0.4");
    EXPECT_EQ(rows[1]["needsUpdate"], false);
    EXPECT_EQ(rows[1]["extensionPath"], (directory_ / premiere).string());
    EXPECT_EQ(rows[2]["installedVersion"], nullptr);
    EXPECT_EQ(rows[2]["needsUpdate"], true);
    EXPECT_EQ(rows[0]["shippedVersion"], nullptr);
    EXPECT_EQ(rows[0]["extensionPath"], nullptr);
    EXPECT_EQ(rows[3]["hostInstalled"], true);

    const auto table = run({"extensions"});
    ASSERT_EQ(table.status, 0) << table.err;
    std::istringstream lines(table.out);
    Strings printed;
    for (std::string line; std::getline(lines, line);) {
        printed.push_back(line);
    }
    ASSERT_EQ(printed.size(), 6u) << table.out;
    EXPECT_EQ(cellsOf(printed[0]),
              (Strings{"case", "name", "hostInstalled", "extensionInstalled", "signed",
                       "installedVersion", "shippedVersion", "needsUpdate", "extensionPath"}));
    EXPECT_EQ(cellsOf(printed[1]),
              (Strings{"finalCutPro", "Final Cut Pro", "no", "no", "yes", "-", "-", "no", "-"}));
    EXPECT_EQ(cellsOf(printed[2]),
              (Strings{"premiere", "Adobe Premiere Pro", "no", "yes", "yes", "1.0.4", "1.0.4", "no",
                       (directory_ / premiere).string()}));
}

TEST_F(VelotrackExtensions, MarkerColoursAsTheTablesWriteThem) {
    EXPECT_EQ(run({"extensions", "marker-color", "premiere", "White"}).out, "1.0 1.0 1.0\n");
    EXPECT_EQ(run({"extensions", "marker-color", "resolve", "Mint"}).out,
              "0.44942713 0.86069006 0.0007714397\n");
    EXPECT_EQ(run({"extensions", "marker-color", "resolve", "Yellow"}).out,
              "0.9962868 0.59666723 0.0\n");
    for (const auto& arguments : {Strings{"finalCutPro", "Green"}, Strings{"avid", "Green"},
                                  Strings{"premiere", "Lavender"}}) {
        const auto failed = run({"extensions", "marker-color", arguments[0], arguments[1]});
        EXPECT_EQ(failed.status, 1) << arguments[0];
        EXPECT_EQ(failed.out, "");
        EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1) << failed.err;
    }
}

TEST_F(VelotrackExtensions, RegistryRoundTripThroughTheStandIn) {
    constexpr auto identifier = "com.korvane.velotrack.extension";
    const auto first = appex("First.appex");
    const auto second = appex("Second.appex");
    EXPECT_EQ(run({"extensions", "instances", identifier}).out, "");

    const auto registered = run({"extensions", "register", first});
    EXPECT_EQ(registered.status, 0) << registered.err;
    EXPECT_EQ(registered.out, first + "\n");
    EXPECT_EQ(run({"extensions", "register", second}).out, second + "\n" + first + "\n");

    const auto notABundle = run({"extensions", "register", (directory_ / "None.appex").string()});
    EXPECT_EQ(notABundle.status, 1);

    const auto updated = run({"extensions", "update", first, identifier});
    EXPECT_EQ(updated.status, 0) << updated.err;
    EXPECT_EQ(run({"extensions", "instances", identifier}).out, first + "\n");

    EXPECT_EQ(run({"extensions", "unregister-all", identifier}).status, 0);
    EXPECT_EQ(run({"extensions", "instances", identifier}).out, "");
    const auto nothing = run({"extensions", "unregister-all", identifier});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(nothing.err, "Failed to find instances of com.korvane.velotrack.extension\n");
    const auto missing =
        run({"extensions", "update", (directory_ / "None.appex").string(), identifier});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "appex bundle is missing\n");
}

} // namespace
