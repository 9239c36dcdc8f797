#include "ExtensionTestSupport.h"
#include "koltutils/ScopedLogCapture.h"
#include "kvninterchange/PluginKitHelper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvninterchange {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::makeExtensionBundle;
using testing::StandInRegistry;
using testing::TemporaryFolder;
namespace fs = std::filesystem;

constexpr std::string_view identifier = "com.korvane.velotrack.extension";

TEST(PluginKitHelperParse, TakesTheLastFieldUpToItsFirstAppex) {
    koltutils::ScopedLogCapture capture;
    const std::string line = "+    com.korvane.x(1.0)\t1F0C-UUID\t2026-12-06 00:00:00 +0000\t";
    EXPECT_EQ(PluginKitHelper::parse(line + "/A/B.appex\n\n"), "/A/B.appex");
    EXPECT_EQ(PluginKitHelper::parse(line + "/A/B.appex"), "/A/B.appex");
    EXPECT_EQ(PluginKitHelper::parse(line + "/A/B.appex/Contents"), "/A/B.appex");
    EXPECT_EQ(PluginKitHelper::parse(line + "/A/B.app"), std::nullopt);
    EXPECT_EQ(PluginKitHelper::parse(line), std::nullopt);
    EXPECT_EQ(PluginKitHelper::parse(""), std::nullopt);
    // Only the first ".appex" counts: a plug-in nested in another is cut at the outer one.
    EXPECT_EQ(PluginKitHelper::parse("/A/Outer.appex/Inner.appex"), "/A/Outer.appex");
    // A cut field loses white space at its ends, Unicode's no-break space included.
    EXPECT_EQ(PluginKitHelper::parse(line + "\u00A0 /A/B.appex/Contents"), "/A/B.appex");
    EXPECT_EQ(capture.lines().size(), 8u);
}

class PluginKitRegistry : public ::testing::Test {
protected:
    std::string bundle(const std::string& name, const std::string& version = "1.0") const {
        return makeExtensionBundle(folder_.path() / name, std::string(identifier), version)
            .string();
    }

    StandInRegistry registry_;
    TemporaryFolder folder_;
};

TEST_F(PluginKitRegistry, RegisteredCopiesAreListedMostRecentFirst) {
    EXPECT_THAT(PluginKitHelper::allInstances(identifier), IsEmpty());
    EXPECT_EQ(PluginKitHelper::installedInstance(identifier), std::nullopt);

    const auto first = bundle("First.appex");
    const auto second = bundle("Second.appex", "2.0");
    PluginKitHelper::addInstance(first);
    PluginKitHelper::addInstance(second);
    EXPECT_THAT(PluginKitHelper::allInstances(identifier), ElementsAre(second, first));
    EXPECT_EQ(PluginKitHelper::installedInstance(identifier), second);

    // Registering a path again makes it the elected copy without a second entry.
    PluginKitHelper::addInstance(first);
    EXPECT_THAT(PluginKitHelper::allInstances(identifier), ElementsAre(first, second));
    EXPECT_EQ(PluginKitHelper::installedInstance(identifier), first);
    EXPECT_THAT(PluginKitHelper::allInstances("com.korvane.other"), IsEmpty());

    EXPECT_EQ(PluginKitHelper::removeInstance(first), std::nullopt);
    EXPECT_THAT(PluginKitHelper::allInstances(identifier), ElementsAre(second));
}

TEST_F(PluginKitRegistry, RemoveAllUnregistersEveryCopyAndNeedsOne) {
    PluginKitHelper::addInstance(bundle("First.appex"));
    PluginKitHelper::addInstance(bundle("Second.appex"));
    PluginKitHelper::removeAllInstances(identifier);
    EXPECT_THAT(PluginKitHelper::allInstances(identifier), IsEmpty());

    try {
        PluginKitHelper::removeAllInstances(identifier);
        FAIL() << "nothing was registered";
    } catch (const koltutils::DescribedError& error) {
        EXPECT_STREQ(error.what(), "Failed to find instances of com.korvane.velotrack.extension");
    }
}

TEST_F(PluginKitRegistry, UpdateReplacesEveryRegisteredCopy) {
    const auto old = bundle("Old.appex", "0.9");
    const auto current = bundle("Current.appex", "1.0");
    PluginKitHelper::addInstance(old);
    PluginKitHelper::addInstance(bundle("Other.appex", "0.8"));

    koltutils::ScopedLogCapture capture;
    APPEXHelper::update(current, identifier);
    EXPECT_THAT(PluginKitHelper::allInstances(identifier), ElementsAre(current));
    // The command line goes to the log before the tool runs.
    EXPECT_THAT(
        capture.lines(),
        ::testing::Contains(::testing::AllOf(
            ::testing::StartsWith("PluginKitHelper.cpp:print(cmd:args:):"),
            ::testing::EndsWith(":" + PluginKitHelper::toolPath().string() + " -a " + current))));

    try {
        APPEXHelper::update(folder_.path() / "Missing.appex", identifier);
        FAIL() << "the bundle does not exist";
    } catch (const koltutils::DescribedError& error) {
        EXPECT_STREQ(error.what(), "appex bundle is missing");
    }
}

TEST_F(PluginKitRegistry, UpdateWithNothingRegisteredFailsAndRegistersNothing) {
    const auto current = bundle("Current.appex");
    EXPECT_THROW(APPEXHelper::update(current, identifier), koltutils::DescribedError);
    EXPECT_THAT(PluginKitHelper::allInstances(identifier), IsEmpty());
}

TEST(PluginKitHelperTool, ALaunchFailureIsThrownOrHandedBack) {
    TemporaryFolder folder;
    platform::testing::ScopedEnvironment tool("VELOTRACK_PLUGINKIT",
                                              (folder.path() / "no-such-tool").string());
    EXPECT_THROW(PluginKitHelper::addInstance("/A/B.appex"), koltutils::DescribedError);
    koltutils::ScopedLogCapture capture;
    const auto error = PluginKitHelper::removeInstance("/A/B.appex");
    ASSERT_TRUE(error.has_value());
    EXPECT_THAT(capture.lines().back(), ::testing::StartsWith("🚩 "));
    EXPECT_THROW(PluginKitHelper::removeAllInstances(identifier), koltutils::DescribedError);
}

} // namespace
} // namespace kvninterchange
