#include "ToolRun.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace velotrack::testing;

// `text` is `pattern` with every "#" standing for one or more digits.
bool matchesDigits(const std::string& text, const std::string& pattern) {
    std::size_t t = 0;
    for (const char p : pattern) {
        if (p != '#') {
            if (t >= text.size() || text[t] != p) {
                return false;
            }
            ++t;
            continue;
        }
        const auto start = t;
        while (t < text.size() && text[t] >= '0' && text[t] <= '9') {
            ++t;
        }
        if (t == start) {
            return false;
        }
    }
    return t == text.size();
}

// The tool run as the editor's scripts run it, with HOME, XDG_CONFIG_HOME, the system library
// root and the session bus pointed at the test's own folder and bus.
class VelotrackShare : public testing::Test {
protected:
    void SetUp() override {
        directory = makeTemporaryFolder(fs::temp_directory_path(), "velotrack-share-");
        ASSERT_FALSE(directory.empty());
        overrides = {{"HOME", (directory / "home").string()},
                     {"XDG_CONFIG_HOME", (directory / "home/.config").string()},
                     {"VELOTRACK_SYSTEM_LIBRARY", (directory / "Library").string()},
                     {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (directory / "no-bus").string()}};
    }

    void TearDown() override {
        for (const pid_t child : background) {
            kill(child, SIGTERM);
            waitpid(child, nullptr, 0);
        }
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    pid_t spawn(const std::string& program, Strings arguments, const fs::path& out,
                const fs::path& err) const {
        return start(program, std::move(arguments), out, err, overrides);
    }

    Outcome run(Strings arguments) const {
        return runTool(std::move(arguments), directory, overrides);
    }

    // Waits until `file` holds a line.
    static std::string firstLine(const fs::path& file) {
        for (int i = 0; i < 500; ++i) {
            const auto text = contentsOf(file);
            if (text.find('\n') != std::string::npos) {
                return text.substr(0, text.find('\n'));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

    fs::path directory;
    std::map<std::string, std::string> overrides;
    std::vector<pid_t> background;
};

TEST_F(VelotrackShare, DestinationInstallsOnceAndRemovesQuietly) {
    const auto installed =
        directory / "Library/Application Support/ProApps/Share Destinations/KVN H.264.fcpxdest";
    EXPECT_EQ(run({"share", "where"}).out, installed.string() + "\n");
    auto result = run({"share", "install"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "installed: " + installed.string() + "\n");
    EXPECT_NE(contentsOf(installed).find("com.korvane.velotrack"), std::string::npos);

    std::ofstream(installed, std::ios::trunc) << "kept";
    EXPECT_EQ(run({"share", "install"}).status, 0);
    EXPECT_EQ(contentsOf(installed), "kept");
    EXPECT_EQ(run({"share", "remove"}).status, 0);
    EXPECT_FALSE(fs::exists(installed));
    result = run({"share", "remove"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
}

TEST_F(VelotrackShare, MakeInProcessPrintsTheAssetAndReportsScriptErrors) {
    auto result =
        run({"share", "make", "--in-process", "--name", "Trailer", "--metadata",
             "com.apple.proapps.share.id=S-1", "--destination", (directory / "out").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    const auto lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 3U) << result.out;
    EXPECT_TRUE(matchesDigits(lines[0], "asset: assets id \"SSO-#-#\" of documents id \"SSO-#-1\""))
        << lines[0];
    EXPECT_EQ(lines[1], "mediaFile: " + (directory / "out/Trailer.mov").string());
    EXPECT_TRUE(matchesDigits(lines[2], "document: SSO-#-1")) << lines[2];
    EXPECT_TRUE(fs::is_directory(directory / "out"));

    // Without --destination the movie goes to the Documents folder the user's directories name.
    fs::create_directories(directory / "home/.config");
    std::ofstream(directory / "home/.config/user-dirs.dirs")
        << "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n";
    result = run({"share", "make", "--in-process", "--interaction", "always"});
    EXPECT_EQ(linesOf(result.out).at(1),
              "mediaFile: " + (directory / "home/Papiere/Untitled.mov").string());

    // A destination that cannot be made is the command's -1708.
    std::ofstream(directory / "file") << "x";
    result =
        run({"share", "make", "--in-process", "--destination", (directory / "file/sub").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(linesOf(result.err), (Strings{"error: -1708", "No default location for the asset"}));

    // Another class: nothing made, no script error.
    result = run({"share", "make", "--in-process", "--class-code", "5"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "asset: \nmediaFile: \ndocument: \n");
}

TEST_F(VelotrackShare, MakeTalksToTheServingApplicationOverTheBus) {
    auto result = run({"share", "make", "--name", "A"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(linesOf(result.err).size(), 1U) << result.err;
    EXPECT_EQ(result.err.rfind("Velotrack is not reachable on the session bus", 0), 0U)
        << result.err;

    const pid_t bus = spawn("dbus-daemon", {"--session", "--nofork", "--print-address"},
                            directory / "bus.out", directory / "bus.err");
    ASSERT_NE(bus, -1);
    background.push_back(bus);
    const auto address = firstLine(directory / "bus.out");
    ASSERT_FALSE(address.empty()) << contentsOf(directory / "bus.err");
    overrides["DBUS_SESSION_BUS_ADDRESS"] = address;
    const pid_t server = spawn(VELOTRACK_EXECUTABLE, {"share", "serve"}, directory / "serve.out",
                               directory / "serve.err");
    ASSERT_NE(server, -1);
    background.insert(background.begin(), server);
    ASSERT_EQ(firstLine(directory / "serve.out"), "serving com.korvane.velotrack")
        << contentsOf(directory / "serve.err");

    result = run({"share", "make", "--name", "Trailer", "--data-option", "roles=all"});
    EXPECT_EQ(result.status, 0) << result.err;
    const auto lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 3U) << result.out;
    EXPECT_TRUE(
        matchesDigits(lines[0], "asset: /com/korvane/velotrack/documents/SSO_#_1/assets/SSO_#_#"))
        << lines[0];
    EXPECT_EQ(lines[1], "mediaFile: " + (directory / "home/Documents/Trailer.mov").string());
    EXPECT_TRUE(matchesDigits(lines[2], "document: SSO-#-1")) << lines[2];

    result = run({"share", "make", "--class-code", "KVas"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(linesOf(result.out).at(0), "asset: /");
}

TEST_F(VelotrackShare, AssetAndCollectionReadFilesAsTheObjectsDo) {
    const auto movie = directory / "clip.mov";
    const auto command = "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -t 2 "
                         "-c:v mpeg4 '" +
                         movie.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto result = run({"share", "asset", movie.string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(linesOf(result.out),
              (Strings{"name: clip", "principalURL: " + (directory / "clip").string(),
                       "mediaExtension: mov", "descExtension: fcpxml", "duration: 2000/1000s",
                       "frameDuration: 512/12800s", "frameSize: 320.0x240.0"}));
    result = run({"share", "asset", "--json", (directory / "missing.fcpxml").string()});
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json.at("mediaExtension"), "mov");
    EXPECT_EQ(json.at("duration"), "n/a");
    EXPECT_EQ(json.at("frameSize"), (nlohmann::json{{"width", 0.0}, {"height", 0.0}}));

    std::ofstream(directory / "Shared.assets")
        << "file://" << movie.string() << "\nfile://" << (directory / "two%20words.mp4").string();
    result = run({"share", "collection", (directory / "Shared.assets").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(linesOf(result.out),
              (Strings{movie.string(), (directory / "two words.mp4").string()}));
    EXPECT_EQ(run({"share", "collection", (directory / "none").string()}).status, 1);
}

} // namespace
