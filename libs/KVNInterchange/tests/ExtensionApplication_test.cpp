#include "ExtensionTestSupport.h"
#include "koltutils/ScopedLogCapture.h"
#include "kvninterchange/DecodingError.h"
#include "kvninterchange/ExtensionApplication.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvninterchange {
namespace {

using ::testing::IsEmpty;
using testing::TemporaryFolder;
using testing::writeFile;
namespace fs = std::filesystem;

// A system library root of the test's own, with the Premiere and Resolve folders below it.
class ExtensionFolders : public ::testing::Test {
protected:
    fs::path premiere() const { return *extensionPath(ExtensionApplication::premiere); }
    fs::path resolve() const { return *extensionPath(ExtensionApplication::resolve); }

    void writePremiereManifest(const std::string& rootAttributes) const {
        writeFile(premiere() / "CSXS" / "manifest.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ExtensionManifest " +
                      rootAttributes + "><ExtensionList/></ExtensionManifest>\n");
    }
    void signPremiere() const { writeFile(premiere() / "META-INF" / "signatures.xml", "<s/>"); }
    void writeResolveManifest(const std::string& version) const {
        writeFile(resolve() / "manifest.xml", "<Manifest><Plugin><Name>KVN</Name><Version>" +
                                                  version + "</Version></Plugin></Manifest>");
    }

    TemporaryFolder root_;
    platform::testing::ScopedEnvironment library_{"VELOTRACK_SYSTEM_LIBRARY",
                                                  root_.path().string()};
};

TEST(ExtensionApplication, TableNamesAndStoredForm) {
    EXPECT_EQ(extensionName, "KVN Audio Bridge");
    EXPECT_EQ(exportApplication(ExtensionApplication::resolve), ExportApplication::resolve);
    // Resolve's extension wants Pro Tools AAF although the application itself recommends
    // interleaved AAF.
    EXPECT_EQ(recommendedFormat(ExtensionApplication::resolve), TimelineExportFormat::protoolsAAF);
    EXPECT_EQ(exportApplication(ExtensionApplication::frameIO), std::nullopt);
    EXPECT_EQ(extensionsForUI[3], std::nullopt);
    EXPECT_EQ(extensionApplicationFromName("Frame.io"), ExtensionApplication::frameIO);
    EXPECT_EQ(extensionApplicationFromName("frame.io"), std::nullopt);

    for (const auto host : koltutils::allCases<ExtensionApplication>()) {
        EXPECT_EQ(extensionApplicationFromJSON(toJSON(host)), host);
    }
    EXPECT_EQ(toJSON(ExtensionApplication::frameIO), "\"frameIO\"");
    EXPECT_THROW(extensionApplicationFromJSON("\"FrameIO\""), DecodingError);
    EXPECT_THROW(extensionApplicationFromJSON("{}"), DecodingError);
}

TEST(ExtensionApplication, MarkerColoursMatchNamesExactlyPerHost) {
    EXPECT_EQ(getMarkerColor(ExtensionApplication::premiere, "White"),
              (MarkerColor{1.0, 1.0, 1.0, 1.0}));
    EXPECT_EQ(getMarkerColor(ExtensionApplication::resolve, "Mint"),
              (MarkerColor{0.44942713, 0.86069006, 0.0007714397, 1.0}));
    EXPECT_EQ(getMarkerColor(ExtensionApplication::premiere, "Lavender"), std::nullopt);
    EXPECT_EQ(getMarkerColor(ExtensionApplication::resolve, "green"), std::nullopt);
    EXPECT_EQ(getMarkerColor(ExtensionApplication::finalCutPro, "Green"), std::nullopt);
    // Both tables name green, each with its own colour.
    EXPECT_NE(getMarkerColor(ExtensionApplication::premiere, "Green"),
              getMarkerColor(ExtensionApplication::resolve, "Green"));
}

TEST_F(ExtensionFolders, PathsFollowTheSystemLibraryRoot) {
    EXPECT_EQ(premiere(), root_.path() / "Application Support/Adobe/CEP/extensions/"
                                         "com.korvane.ppro.bridge");
    EXPECT_EQ(resolve(), root_.path() / "Application Support/Blackmagic Design/DaVinci Resolve/"
                                        "Workflow Integration Plugins/com.korvane.resolve.bridge");
    EXPECT_EQ(extensionPath(ExtensionApplication::finalCutPro), std::nullopt);
    EXPECT_EQ(extensionPath(ExtensionApplication::epidemic), "https://www.epidemicsound.com");
}

TEST_F(ExtensionFolders, HostsWithoutAFolderNeverNeedAnUpdate) {
    for (const auto host : {ExtensionApplication::finalCutPro, ExtensionApplication::epidemic,
                            ExtensionApplication::frameIO}) {
        EXPECT_FALSE(extensionInstalled(host)) << koltutils::rawValue(host);
        EXPECT_FALSE(needsUpdate(host)) << koltutils::rawValue(host);
        EXPECT_TRUE(isSigned(host)) << koltutils::rawValue(host);
        EXPECT_EQ(installedVersion(host), std::nullopt);
    }
    EXPECT_TRUE(isHostInstalled(ExtensionApplication::epidemic));
    EXPECT_EQ(std::get<std::string_view>(image(ExtensionApplication::frameIO)),
              "FrameIOApplication");
}

TEST_F(ExtensionFolders, MissingExtensionsNeedInstalling) {
    koltutils::ScopedLogCapture capture;
    EXPECT_FALSE(extensionInstalled(ExtensionApplication::premiere));
    EXPECT_FALSE(isSigned(ExtensionApplication::premiere));
    EXPECT_TRUE(needsUpdate(ExtensionApplication::premiere));
    EXPECT_TRUE(needsUpdate(ExtensionApplication::resolve));
    // Missing is not unsigned: no complaint about signing.
    EXPECT_THAT(capture.lines(), IsEmpty());
}

TEST_F(ExtensionFolders, UnsignedPremiereExtensionNeedsAnUpdateAndSaysWhy) {
    writePremiereManifest("ExtensionBundleVersion=\"1.0.4\"");
    koltutils::ScopedLogCapture capture;
    EXPECT_TRUE(extensionInstalled(ExtensionApplication::premiere));
    EXPECT_EQ(installedVersion(ExtensionApplication::premiere), "1.0.4");
    EXPECT_TRUE(needsUpdate(ExtensionApplication::premiere));
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_THAT(capture.lines()[0], ::testing::HasSubstr("ExtensionApplication.cpp:needsUpdate:"));
    EXPECT_THAT(capture.lines()[0],
                ::testing::EndsWith(":This is an unsigned version of the extension " +
                                    premiere().string() +
                                    ". You must sign it before distribution."));
}

TEST_F(ExtensionFolders, PremiereVersionComesFromTheManifestRootAttribute) {
    signPremiere();
    writePremiereManifest("Version=\"7.0\" ExtensionBundleVersion=\"1.0.4\"");
    EXPECT_TRUE(isSigned(ExtensionApplication::premiere));
    EXPECT_FALSE(needsUpdate(ExtensionApplication::premiere));

    // Newer counts as different, too.
    writePremiereManifest("ExtensionBundleVersion=\"1.0.5\"");
    EXPECT_EQ(installedVersion(ExtensionApplication::premiere), "1.0.5");
    EXPECT_TRUE(needsUpdate(ExtensionApplication::premiere));

    writePremiereManifest("Version=\"1.0.4\"");
    EXPECT_EQ(installedVersion(ExtensionApplication::premiere), std::nullopt);
    EXPECT_TRUE(needsUpdate(ExtensionApplication::premiere));

    writeFile(premiere() / "CSXS" / "manifest.xml", "<ExtensionManifest ExtensionBundleVersion=");
    EXPECT_EQ(installedVersion(ExtensionApplication::premiere), std::nullopt);
    EXPECT_TRUE(needsUpdate(ExtensionApplication::premiere));
}

TEST_F(ExtensionFolders, ResolveVersionComesFromPluginVersion) {
    writeResolveManifest("1.1.1");
    EXPECT_TRUE(extensionInstalled(ExtensionApplication::resolve));
    EXPECT_EQ(installedVersion(ExtensionApplication::resolve), "1.1.1");
    EXPECT_FALSE(needsUpdate(ExtensionApplication::resolve));

    writeResolveManifest("1.1.0");
    EXPECT_TRUE(needsUpdate(ExtensionApplication::resolve));

    // The version must sit inside Plugin.
    writeFile(resolve() / "manifest.xml", "<Manifest><Version>1.1.1</Version></Manifest>");
    EXPECT_EQ(installedVersion(ExtensionApplication::resolve), std::nullopt);
    EXPECT_TRUE(needsUpdate(ExtensionApplication::resolve));
}

} // namespace
} // namespace kvninterchange
