#include "BundleProperties.h"

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
