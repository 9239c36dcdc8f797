// velotrack extensions: the built tool against real folders under a temporary system library and
// the stand-in registry it finds beside itself, with its state in a temporary folder.

#include "ToolRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace velotrack::testing;

class VelotrackExtensions : public testing::Test {
protected:
    void SetUp() override {
        directory_ = makeTemporaryFolder(fs::temp_directory_path(), "velotrack-extensions-");
        ASSERT_FALSE(directory_.empty());
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

    Outcome run(Strings arguments) const { return runTool(std::move(arguments), directory_); }

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
