#include "TemporaryFolder.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <kvnfcpx/share/FCPShareMakeCommand.h>
#include <kvnfcpx/share/ShareScriptingService.h>
#include <platform/RunLoop.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using kvnfcpx::FCPShareDocument;
using kvnfcpx::FCPShareMakeCommand;
using kvnfcpx::ScriptValue;
using kvnfcpx::ShareScriptingClient;
using kvnfcpx::ShareScriptingService;
using Dictionary = ScriptValue::Dictionary;

// A session bus of the test's own: dbus-daemon, stopped when the fixture ends.
class PrivateBus {
public:
    PrivateBus() {
        int output[2];
        if (pipe(output) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        char program[] = "dbus-daemon";
        char session[] = "--session";
        char nofork[] = "--nofork";
        char print[] = "--print-address";
        char* argv[] = {program, session, nofork, print, nullptr};
        if (posix_spawnp(&pid_, program, &actions, nullptr, argv, environ) != 0) {
            pid_ = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(output[1]);
        FILE* stream = fdopen(output[0], "r");
        char line[1024];
        if (stream != nullptr && fgets(line, sizeof line, stream) != nullptr) {
            address_ = line;
            while (!address_.empty() && address_.back() == '\n') {
                address_.pop_back();
            }
        }
        if (stream != nullptr) {
            fclose(stream);
        }
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& address() const { return address_; }

private:
    pid_t pid_ = 0;
    std::string address_;
};

Dictionary makeArguments(Dictionary properties) {
    return Dictionary{
        {"ObjectClass", static_cast<std::int64_t>(FCPShareMakeCommand::assetClassCode)},
        {"KeyDictionary", std::move(properties)}};
}

class ScriptingBus : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
        setenv("HOME", home.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
        FCPShareMakeCommand::setDestinationFolder(std::nullopt);
        FCPShareMakeCommand::setShowsSavePanel(true);
        FCPShareMakeCommand::setSavePanel(panel);
        std::string error;
        ASSERT_TRUE(service.start(bus.address(), &error)) << error;
        watcher = ShareScriptingClient::connect(bus.address(), error);
        ASSERT_TRUE(watcher) << error;
        watcher->subscribeAssetCreated(
            [this](const std::string& path) { signals.push_back(path); });
    }
    void TearDown() override {
        service.stop();
        FCPShareMakeCommand::setSavePanel(nullptr);
    }

    // Runs `calls` on a thread of its own, as another program would, while the main run loop
    // serves the bus; then lets queued signals arrive.
    void drive(const std::function<void(ShareScriptingClient&)>& calls) {
        std::atomic<bool> done{false};
        std::thread editor([&] {
            std::string error;
            auto client = ShareScriptingClient::connect(bus.address(), error);
            if (client) {
                calls(*client);
            } else {
                ADD_FAILURE() << error;
            }
            done = true;
            platform::RunLoop::stop();
        });
        EXPECT_TRUE(
            platform::RunLoop::runUntil([&] { return done.load(); }, std::chrono::seconds(30)));
        editor.join();
        platform::RunLoop::runFor(std::chrono::milliseconds(100));
    }

    PrivateBus bus;
    kvnfcpx::testing::TemporaryFolder home;
    std::shared_ptr<platform::ScriptedSavePanel> panel =
        std::make_shared<platform::ScriptedSavePanel>();
    kvnfcpx::FCPShareDocumentController controller;
    ShareScriptingService service{controller};
    std::unique_ptr<ShareScriptingClient> watcher;
    std::vector<std::string> signals;
};

TEST_F(ScriptingBus, MakeAnswersWithAnAssetWhosePropertiesGiveTheFileLocations) {
    ShareScriptingClient::MakeReply first;
    ShareScriptingClient::MakeReply second;
    std::map<std::string, ScriptValue> properties;
    drive([&](ShareScriptingClient& client) {
        first = client.make(
            makeArguments({{"name", "Trailer"},
                           {"metadata", Dictionary{{"com.apple.proapps.share.id", "S-9"}}}}),
            0x10);
        std::string error;
        if (first.objectPath) {
            properties = client.properties(*first.objectPath, "com.korvane.velotrack.Asset", error)
                             .value_or(properties);
        }
        EXPECT_TRUE(error.empty()) << error;
    });
    ASSERT_TRUE(first.objectPath) << first.failure.value_or("script error");
    EXPECT_THAT(signals, testing::ElementsAre(*first.objectPath));

    const auto documents = home.path() / "Documents";
    EXPECT_EQ(properties["mediaFile"], ScriptValue((documents / "Trailer.mov").string()));
    EXPECT_EQ(properties["folder"], ScriptValue(documents.string()));
    EXPECT_EQ(properties["basename"], ScriptValue("Trailer"));
    EXPECT_EQ(properties["hasMedia"], ScriptValue(true));
    EXPECT_EQ(properties["hasDescription"], ScriptValue(false));
    EXPECT_EQ(properties["descFile"], ScriptValue(""));
    EXPECT_EQ(properties["shareID"], ScriptValue("S-9"));
    EXPECT_EQ(properties["episodeID"], ScriptValue(""));
    // The editor has not written the movie yet.
    EXPECT_EQ(properties["duration"], ScriptValue("n/a"));
    EXPECT_EQ(properties["locationInfo"],
              ScriptValue(Dictionary{
                  {"folder", documents.string()}, {"basename", "Trailer"}, {"hasMedia", true}}));

    drive([&](ShareScriptingClient& client) {
        second = client.make(makeArguments({{"name", "Teaser"}}), 0x10);
    });
    ASSERT_TRUE(second.objectPath);
    const auto all = controller.documents();
    ASSERT_EQ(all.size(), 3U);
    const auto firstDocument = std::dynamic_pointer_cast<FCPShareDocument>(all[0]);
    ASSERT_EQ(firstDocument->assets().size(), 2U);
    EXPECT_EQ(firstDocument->assets()[1]->objectSpecifier()->busPath(), *second.objectPath);
    EXPECT_EQ(signals.size(), 2U);
    EXPECT_THAT(*second.objectPath,
                testing::StartsWith(std::string("/com/korvane/velotrack/documents/SSO_")));
}

TEST_F(ScriptingBus, ScriptErrorsAndAbsentResultsTravelAsTheBusAnswers) {
    std::vector<ShareScriptingClient::MakeReply> replies;
    drive([&](ShareScriptingClient& client) {
        replies.push_back(client.make(Dictionary{{"ObjectClass", 1}}, 0x10));
        replies.push_back(client.make(Dictionary{{"KeyDictionary", Dictionary{}}}, 0x10));
        replies.push_back(client.make(makeArguments({{"name", "Asked"}}), 0x20)); // cancelled
        replies.push_back(
            client.make(Dictionary{{"ObjectClass", 1}, {"KeyDictionary", Dictionary{}}}, 0x10));
    });
    ASSERT_EQ(replies.size(), 4U);
    ASSERT_TRUE(replies[0].scriptError);
    EXPECT_EQ(replies[0].scriptError->number, -1715);
    EXPECT_EQ(replies[0].scriptError->message, "-1715: Invalid KeyDictionary specified");
    ASSERT_TRUE(replies[1].scriptError);
    EXPECT_EQ(replies[1].scriptError->message, "-1715: No ObjectClass specified");
    ASSERT_TRUE(replies[2].scriptError);
    EXPECT_EQ(replies[2].scriptError->number, -1708);
    EXPECT_EQ(panel->requests().size(), 1U);
    // Another class goes to the standard create command: nothing, and no script error.
    EXPECT_EQ(replies[3].objectPath, "/");
    EXPECT_TRUE(signals.empty());
}

TEST(ScriptingBusClient, NoApplicationOnTheBusIsAFailureNotAScriptError) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address().empty());
    std::string error;
    auto client = ShareScriptingClient::connect(bus.address(), error);
    ASSERT_TRUE(client) << error;
    const auto reply = client->make(makeArguments({}), 0x10);
    EXPECT_FALSE(reply.objectPath);
    EXPECT_FALSE(reply.scriptError);
    ASSERT_TRUE(reply.failure);
    EXPECT_THAT(*reply.failure, testing::HasSubstr("com.korvane.velotrack"));

    EXPECT_FALSE(ShareScriptingClient::connect("unix:path=/nonexistent/bus", error));
    EXPECT_FALSE(error.empty());
}

} // namespace
