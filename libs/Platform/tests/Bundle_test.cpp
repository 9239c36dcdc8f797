#include "platform/Bundle.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <plist/plist.h>
#include <random>
#include <string>

namespace platform {
namespace {

namespace fs = std::filesystem;

std::string xmlInfoPlist(const std::map<std::string, std::string>& strings,
                         const std::string& extraEntries = "") {
    std::string text = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
)";
    for (const auto& [key, value] : strings) {
        text += "\t<key>" + key + "</key>\n\t<string>" + value + "</string>\n";
    }
    return text + extraEntries + "</dict>\n</plist>\n";
}

// The same property list in the binary format.
std::string binaryInfoPlist(const std::string& xml) {
    plist_t dict = nullptr;
    plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &dict);
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(dict, &bytes, &length);
    std::string result(bytes, length);
    plist_to_bin_free(bytes);
    plist_free(dict);
    return result;
}

class BundleTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("platform-bundle-" + std::to_string(random()));
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path makeBundle(const std::string& name, const std::string& infoPlist) {
        const auto app = root_ / name;
        fs::create_directories(app / "Contents" / "MacOS");
        std::ofstream(app / "Contents" / "Info.plist", std::ios::binary) << infoPlist;
        return app;
    }

    fs::path root_;
};

TEST_F(BundleTest, ReadsInfoPlistStringsInEitherFormat) {
    const auto xml = xmlInfoPlist({{"CFBundleIdentifier", "com.apple.FinalCut"},
                                   {"CFBundleExecutable", "Final Cut Pro"},
                                   {"CFBundleName", "Final Cut Pro &amp; more ✓"}},
                                  "\t<key>CFBundleVersion</key>\n\t<integer>7</integer>\n"
                                  "\t<key>Empty</key>\n\t<string></string>\n"
                                  "\t<key>LSRequiresNativeExecution</key>\n\t<true/>\n");
    for (const auto& [name, infoPlist] :
         {std::pair{"Xml.app", xml}, std::pair{"Binary.app", binaryInfoPlist(xml)}}) {
        SCOPED_TRACE(name);
        const auto app = makeBundle(name, infoPlist);
        const auto bundle = Bundle::atPath(app.string() + "/");
        ASSERT_TRUE(bundle);
        EXPECT_EQ(bundle->bundlePath(), app);
        EXPECT_EQ(bundle->identifier(), "com.apple.FinalCut");
        EXPECT_EQ(bundle->infoString("CFBundleName"), "Final Cut Pro & more ✓");
        EXPECT_EQ(bundle->infoString("CFBundleVersion"), std::nullopt) << "not text";
        EXPECT_EQ(bundle->infoString("LSRequiresNativeExecution"), std::nullopt);
        EXPECT_EQ(bundle->infoString("Empty"), "");
        EXPECT_EQ(bundle->infoString("Missing"), std::nullopt);
        EXPECT_EQ(bundle->executablePath(), app / "Contents" / "MacOS" / "Final Cut Pro");
        EXPECT_EQ(bundle->resourcesPath(), app / "Contents" / "Resources");
    }
}

TEST_F(BundleTest, RejectsFoldersThatAreNotReadableBundles) {
    const auto valid = xmlInfoPlist({{"CFBundleIdentifier", "x"}});
    EXPECT_FALSE(Bundle::atPath(makeBundle("Tool", valid))) << "no .app extension";
    EXPECT_FALSE(Bundle::atPath(makeBundle(".app", valid))) << "no name";
    EXPECT_FALSE(Bundle::atPath(root_ / "Missing.app"));
    EXPECT_FALSE(Bundle::atPath(makeBundle("Garbage.app", "<plist><dict><key>")));
    EXPECT_FALSE(Bundle::atPath(makeBundle("Empty.app", "")));
    EXPECT_FALSE(Bundle::atPath(
        makeBundle("Array.app", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>")));
    const auto folderPlist = root_ / "Folder.app" / "Contents" / "Info.plist";
    fs::create_directories(folderPlist);
    EXPECT_FALSE(Bundle::atPath(root_ / "Folder.app"));
}

TEST_F(BundleTest, ExecutableMustBeANameInsideMacOS) {
    for (const char* name : {"", "../../escape", "sub/tool", ".."}) {
        const auto bundle =
            Bundle::atPath(makeBundle("App.app", xmlInfoPlist({{"CFBundleExecutable", name}})));
        ASSERT_TRUE(bundle);
        EXPECT_EQ(bundle->executablePath(), std::nullopt) << name;
    }
    const auto noKey = Bundle::atPath(makeBundle("NoKey.app", xmlInfoPlist({})));
    ASSERT_TRUE(noKey);
    EXPECT_EQ(noKey->executablePath(), std::nullopt);
    EXPECT_EQ(noKey->identifier(), std::nullopt);
}

TEST_F(BundleTest, FindsTheBundleAroundAnExecutable) {
    const auto app = makeBundle(
        "Velotrack.app",
        xmlInfoPlist({{"CFBundleIdentifier", "com.v"}, {"CFBundleExecutable", "Velotrack"}}));
    const auto found = Bundle::containingExecutable(app / "Contents" / "MacOS" / "Velotrack");
    ASSERT_TRUE(found);
    EXPECT_EQ(found, Bundle::atPath(app));
    EXPECT_FALSE(Bundle::containingExecutable(app / "Contents" / "Resources" / "tool"));
    EXPECT_FALSE(Bundle::containingExecutable(root_ / "Velotrack"));
    // This test program does not run from a bundle.
    EXPECT_EQ(Bundle::main(), std::nullopt);
}

} // namespace
} // namespace platform
