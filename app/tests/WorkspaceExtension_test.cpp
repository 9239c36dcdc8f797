// The workspace extension reaches the plug-in registry: the real application bundle against the
// stand-in registry tool it carries, with the registrations in a folder of each test's own.

#include "WorkspaceExtension.h"
#include "WorkspaceFixture.h"
#include "koltutils/DescribedError.h"
#include "koltutils/ScopedLogCapture.h"
#include "kvninterchange/PluginKitHelper.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;
using testing::AllOf;
using testing::EndsWith;
using testing::HasSubstr;
using testing::StartsWith;
using velotrack::WorkspaceExtension::Registration;

const fs::path appExecutable = VELOTRACK_APP_EXECUTABLE;
const fs::path appBundle = appExecutable.parent_path().parent_path().parent_path();
const fs::path bundledExtension = appBundle / "Contents" / "PlugIns" / "Velotrack extension.appex";
const fs::path registryTool = appExecutable.parent_path() / "velotrack-pluginkit";
const std::string identifier = "com.korvane.velotrack.extension";

QString qt(const fs::path& path) {
    return QString::fromStdString(path.string());
}

class WorkspaceExtensionTest : public testing::Test {
protected:
    // What the registry tool prints for the identifier: the elected copy ("-v") or every copy.
    std::string registry(const char* listing = "-v") const {
        QProcess tool;
        tool.start(qt(registryTool), {QString::fromLatin1(listing), QStringLiteral("-m"),
                                      QStringLiteral("-i"), QString::fromStdString(identifier)});
        tool.waitForFinished(20000);
        return tool.readAllStandardOutput().toStdString();
    }

    void registerCopy(const fs::path& bundle) const {
        QProcess tool;
        tool.start(qt(registryTool), {QStringLiteral("-a"), qt(bundle)});
        ASSERT_TRUE(tool.waitForFinished(20000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }

    // An extension bundle with the identifier at the version, in the test's folder.
    fs::path makeExtension(const std::string& folder, const std::string& version) const {
        const auto bundle = folders_.root() / folder / "Velotrack extension.appex";
        fs::create_directories(bundle / "Contents");
        std::ofstream(bundle / "Contents" / "Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            << "<key>CFBundleIdentifier</key><string>" << identifier << "</string>"
            << "<key>CFBundleShortVersionString</key><string>" << version << "</string>"
            << "</dict></plist>\n";
        return bundle;
    }

    static auto electedLine(const fs::path& bundle, const std::string& version) {
        return AllOf(StartsWith("+    " + identifier + "(" + version + ")\t"),
                     EndsWith("\t" + bundle.string() + "\n"));
    }

    platform::testing::ApplicationFolderFixture folders_;
    platform::testing::ScopedEnvironment state_{"XDG_STATE_HOME",
                                                (folders_.root() / "state").string()};
    // The application must find the registry tool it carries, not one the environment names.
    platform::testing::ScopedEnvironment tool_{"VELOTRACK_PLUGINKIT", std::nullopt};
    // The start-up update check reads a feed that is not there instead of the network.
    platform::testing::ScopedEnvironment feed_{
        "VELOTRACK_APPCAST_URL", "file://" + (folders_.root() / "appcast.xml").string()};
};

TEST_F(WorkspaceExtensionTest, TheApplicationBundleCarriesItsExtensionAndTheRegistryTool) {
    const auto application = kvninterchange::APPEXHelper::bundleInfo(appBundle);
    ASSERT_TRUE(application.has_value());
    ASSERT_FALSE(application->version.empty());
    EXPECT_EQ(kvninterchange::APPEXHelper::bundleInfo(bundledExtension),
              (kvninterchange::APPEXHelper::ExtensionBundleInfo{identifier, application->version}));
    const auto permissions = fs::status(registryTool).permissions();
    EXPECT_NE(permissions & fs::perms::owner_exec, fs::perms::none);
}

TEST_F(WorkspaceExtensionTest, AtStartUpTheApplicationElectsItsBundledExtension) {
    ASSERT_EQ(registry(), "");
    const auto version = kvninterchange::APPEXHelper::bundleInfo(appBundle).value().version;

    QProcess application;
    application.setProcessChannelMode(QProcess::ForwardedChannels);
    application.start(qt(appExecutable), {});
    ASSERT_TRUE(application.waitForStarted(20000));
    EXPECT_TRUE(platform::testing::eventually([&] { return !registry().empty(); }));
    EXPECT_THAT(registry(), electedLine(bundledExtension, version));
    EXPECT_EQ(registry("-vD"), registry());
    // Registering is all it does on its own: the application keeps running.
    EXPECT_EQ(application.state(), QProcess::Running);
    application.terminate();
    if (!application.waitForFinished(10000)) {
        application.kill();
        application.waitForFinished();
    }
}

TEST_F(WorkspaceExtensionTest, RegistersWhenNoneIsAndReplacesCopiesElsewhereOrStale) {
    const platform::testing::ScopedEnvironment tool("VELOTRACK_PLUGINKIT", registryTool.string());
    const auto ours = makeExtension("App", "1.0");
    using velotrack::WorkspaceExtension::ensureRegistered;

    EXPECT_EQ(ensureRegistered(ours), Registration::added);
    const auto first = registry();
    EXPECT_THAT(first, electedLine(ours, "1.0"));
    // Current already: the registration keeps its identity and date.
    EXPECT_EQ(ensureRegistered(ours), Registration::current);
    EXPECT_EQ(registry(), first);

    // Another copy elected since, even a newer one, gives way, and only ours stays.
    registerCopy(makeExtension("Elsewhere", "2.0"));
    EXPECT_EQ(ensureRegistered(ours), Registration::updated);
    EXPECT_THAT(registry(), electedLine(ours, "1.0"));
    EXPECT_EQ(registry("-vD"), registry());

    // The bundle replaced in place by another version of the application.
    makeExtension("App", "1.1");
    EXPECT_EQ(ensureRegistered(ours), Registration::updated);
    EXPECT_THAT(registry(), electedLine(ours, "1.1"));
}

TEST_F(WorkspaceExtensionTest, FailuresInTheBackgroundAreLogged) {
    const platform::testing::ScopedEnvironment tool("VELOTRACK_PLUGINKIT", registryTool.string());
    const auto missing = folders_.root() / "Missing.appex";
    try {
        velotrack::WorkspaceExtension::ensureRegistered(missing);
        ADD_FAILURE() << "registered a missing bundle";
    } catch (const koltutils::DescribedError& error) {
        EXPECT_STREQ(error.what(), "appex bundle is missing");
    }

    koltutils::ScopedLogCapture capture;
    // Waits for an error line of the background registration whose values match.
    const auto logged = [&](const testing::Matcher<std::string>& values) {
        const auto line =
            AllOf(StartsWith("🚩 WorkspaceExtension.cpp:registerInBackground(_:):"), values);
        return platform::testing::eventually([&] {
            const auto lines = capture.lines();
            return std::ranges::any_of(
                lines, [&](const std::string& text) { return testing::Value(text, line); });
        });
    };
    velotrack::WorkspaceExtension::registerInBackground(missing);
    EXPECT_TRUE(
        logged(EndsWith(":Failed to register " + missing.string() + ": appex bundle is missing")));
    velotrack::WorkspaceExtension::registerInBackground(std::nullopt);
    EXPECT_TRUE(logged(EndsWith(":No application bundle, so no workspace extension to register")));

    // A registry tool that cannot be started.
    const auto ours = makeExtension("App", "1.0");
    const platform::testing::ScopedEnvironment broken("VELOTRACK_PLUGINKIT",
                                                      (folders_.root() / "no-tool").string());
    velotrack::WorkspaceExtension::registerInBackground(ours);
    EXPECT_TRUE(logged(
        AllOf(HasSubstr(":Failed to register " + ours.string() + ": "), HasSubstr("no-tool"))));
}

} // namespace
