#include "BundleProperties.h"
#include "WorkspaceFixture.h"
#include "platform/Process.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using velotrack::BundleProperties;

namespace {

// A bundle whose information dictionary holds exactly the given XML entries.
std::optional<platform::Bundle> bundleWithEntries(const std::string& entries) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "velotrack-props-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        return std::nullopt;
    }
    const auto bundle = std::filesystem::path(folder) / "Some.app";
    std::filesystem::create_directories(bundle / "Contents");
    std::ofstream(bundle / "Contents" / "Info.plist")
        << R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)" << entries
        << "</dict></plist>";
    auto result = platform::Bundle::atPath(bundle);
    std::filesystem::remove_all(folder);
    return result;
}

} // namespace

TEST(BundleProperties, ReadsTheTextEntriesAndTheVersionNumbers) {
    const auto properties = BundleProperties::fromBundle(bundleWithEntries(R"(
        <key>CFBundleName</key><string>Velotrack Light</string>
        <key>CFBundleShortVersionString</key><string>2.13.4</string>
        <key>CFBundleVersion</key><string>812</string>
        <key>NSHumanReadableCopyright</key><string>© Korvane</string>
        <key>ShortCopyright</key><integer>2025</integer>)"));

    EXPECT_EQ(properties.appName, "Velotrack Light");
    EXPECT_EQ(properties.appVersionBuild, "812");
    EXPECT_EQ(properties.appCopyright, "© Korvane");
    EXPECT_EQ(properties.appCopyrightShort, std::nullopt) << "a number is not text";
    EXPECT_EQ(properties.applicationVersion, (velotrack::ApplicationVersion{2, 13, 4, 812}));
    EXPECT_EQ(properties.displayName(), "Velotrack Light");
}

TEST(BundleProperties, MissingEntriesAndNoBundleFallBackToTheProductName) {
    const auto partial = BundleProperties::fromBundle(bundleWithEntries(R"(
        <key>CFBundleShortVersionString</key><string>3.x</string>
        <key>CFBundleVersion</key><string>99999999999999999999</string>)"));
    EXPECT_EQ(partial.applicationVersion, (velotrack::ApplicationVersion{3, 0, 0, 0}));
    EXPECT_EQ(partial.displayName(), "Velotrack");

    const auto none = BundleProperties::fromBundle(std::nullopt);
    EXPECT_EQ(none, BundleProperties{});
    EXPECT_EQ(none.displayName(), "Velotrack");
}

TEST(BundleProperties, RelaunchCommandStartsTheBundleAgainAfterTheDelay) {
    platform::testing::ApplicationFolderFixture fixture;
    const auto bundle =
        platform::Bundle::atPath(fixture.makeApplication("Relaunched", "com.example.relaunched"));
    ASSERT_TRUE(bundle);
    const auto executable = bundle->executablePath()->string();
    EXPECT_EQ(BundleProperties::relaunchCommand(1.0, *bundle),
              "sleep 1; exec '" + executable + "'");
    const auto command = BundleProperties::relaunchCommand(0.25, *bundle);
    EXPECT_EQ(command, "sleep 0.25; exec '" + executable + "'");

    platform::Process shell("/bin/sh", {"-c", command});
    shell.launch();
    EXPECT_TRUE(platform::testing::eventually(
        [&] { return fixture.launchRecordOf("Relaunched").has_value(); }));
    fixture.stop("Relaunched");
    EXPECT_EQ(shell.waitUntilExit().status, 0);
}
