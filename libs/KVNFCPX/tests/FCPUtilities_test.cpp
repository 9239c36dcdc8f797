#include "TemporaryFolder.h"

#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/DescribedError.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPUtilities.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using kvnfcpx::FCPUtilities;
using testing::ElementsAre;

std::string contentsOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class ShareDestination : public testing::Test {
protected:
    void SetUp() override {
        FCPUtilities::setResourceBundleFolder(std::nullopt);
        FCPUtilities::setShareDestinationsFolder(folder.path() / "ProApps" / "Share Destinations");
    }
    void TearDown() override { FCPUtilities::setResourceBundleFolder(std::nullopt); }

    kvnfcpx::testing::TemporaryFolder folder;
    const fs::path installed = folder.path() / "ProApps/Share Destinations/KVN H.264.fcpxdest";
};

TEST(ShareDestinationDefaults, FolderLiesUnderTheRelocatableSystemLibrary) {
    // The default is taken on first use, so this runs before anything sets the folder.
    kvnfcpx::testing::TemporaryFolder root;
    setenv("VELOTRACK_SYSTEM_LIBRARY", root.path().c_str(), 1);
    EXPECT_EQ(FCPUtilities::shareDestinationsFolder(),
              root.path() / "Application Support/ProApps/Share Destinations");
    unsetenv("VELOTRACK_SYSTEM_LIBRARY");
}

TEST_F(ShareDestination, InstallsIntoAMissingFolderOnceAndNeverReplacesTheCopy) {
    koltutils::ScopedLogCapture capture;
    EXPECT_EQ(FCPUtilities::shareDestinationURL(), installed);
    FCPUtilities::installShareDestination();
    ASSERT_TRUE(fs::exists(installed));
    const auto resource = FCPUtilities::resourceBundle() / "KVN H.264.fcpxdest";
    EXPECT_EQ(contentsOf(installed), contentsOf(resource));
    EXPECT_THAT(capture.lines(), ElementsAre("FCPUtilities.cpp:installShareDestination():" +
                                             std::string("133:Copying ") + resource.string() +
                                             " to " + installed.string()));

    // A copy that is already there, even a different one, stays as it is and nothing is logged.
    std::ofstream(installed, std::ios::trunc) << "edited by hand";
    capture.clear();
    FCPUtilities::installShareDestination();
    EXPECT_EQ(contentsOf(installed), "edited by hand");
    EXPECT_TRUE(capture.lines().empty());
}

TEST_F(ShareDestination, RemovingTwiceIsQuietTheSecondTime) {
    FCPUtilities::installShareDestination();
    koltutils::ScopedLogCapture capture;
    FCPUtilities::removeShareDestination();
    EXPECT_FALSE(fs::exists(installed));
    EXPECT_NO_THROW(FCPUtilities::removeShareDestination());
    EXPECT_THAT(capture.lines(), ElementsAre("FCPUtilities.cpp:removeShareDestination():142:"
                                             "Removing " +
                                             installed.string()));
}

TEST_F(ShareDestination, MissingResourceIsLoggedAndMissingBundleIsAPackagingFault) {
    kvnfcpx::testing::TemporaryFolder emptyBundle;
    FCPUtilities::setResourceBundleFolder(emptyBundle.path());
    koltutils::ScopedLogCapture capture;
    EXPECT_EQ(FCPUtilities::shareDestinationURL(), std::nullopt);
    EXPECT_NO_THROW(FCPUtilities::installShareDestination());
    EXPECT_FALSE(fs::exists(installed.parent_path()));
    EXPECT_THAT(capture.lines(),
                ElementsAre("🚩 FCPUtilities.cpp:shareDestinationURL:112:Failed to find "
                            "resource KVN H.264",
                            "🚩 FCPUtilities.cpp:installShareDestination():121:Failed to find "
                            "resource KVN H.264"));

    FCPUtilities::setResourceBundleFolder(emptyBundle.path() / "KVNFCPX_KVNFCPX");
    try {
        FCPUtilities::installShareDestination();
        ADD_FAILURE() << "installed without a resource bundle";
    } catch (const koltutils::DescribedError& error) {
        EXPECT_STREQ(error.what(), "unable to find bundle named KVNFCPX_KVNFCPX");
    }
}

TEST_F(ShareDestination, FileSystemFailuresReachTheCaller) {
    // A plain file where the folder should be: creating the folder fails.
    std::ofstream(folder.path() / "ProApps") << "not a folder";
    EXPECT_THROW(FCPUtilities::installShareDestination(), fs::filesystem_error);
}

} // namespace
