#include "WorkspaceFixture.h"
#include "platform/Workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing::ApplicationFolderFixture;
using ::testing::ElementsAre;
using testing::eventually;
using testing::InfoPlistFormat;
using ::testing::IsEmpty;
using testing::ScopedEnvironment;
using ::testing::SizeIs;

const Workspace& workspace = Workspace::shared();

// Tests run in parallel and "running" is a question about the whole machine, so every test
// that launches something uses an identifier of its own.
std::string identifierOfThisTest() {
    return std::string("com.example.") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

bool isRunning(std::string_view identifier) {
    return !workspace.runningApplications(identifier).empty();
}

TEST(Workspace, FindsBundlesByIdentifierAcrossFoldersInSearchOrder) {
    ApplicationFolderFixture fixture;
    const auto second = fixture.root() / "More Applications";
    fs::create_directories(second);
    const ScopedEnvironment folders(ApplicationFolderFixture::folderVariable(),
                                    fixture.applications().string() + "::" + second.string());

    const auto release = fixture.makeApplication("Editor", "com.example.editor");
    const auto vendorCopy = fixture.makeApplication("Editor Copy", "com.example.editor", "Vendor",
                                                    InfoPlistFormat::binary);
    const auto other = fixture.makeApplication("Other", "com.example.other");
    fs::create_directories(fixture.applications() / "Broken.app" / "Contents");
    fixture.makeApplication("Late", "com.example.editor", "../More Applications");

    EXPECT_THAT(workspace.urlsForApplications("com.example.editor"),
                ElementsAre(release, vendorCopy, second / "Late.app"));
    EXPECT_EQ(workspace.urlForApplication("com.example.editor"), release);
    EXPECT_EQ(workspace.urlForApplication("com.example.other"), other);
    EXPECT_THAT(workspace.urlsForApplications("com.example.missing"), IsEmpty());
    EXPECT_EQ(workspace.urlForApplication("com.example.missing"), std::nullopt);
    // Identifiers compare exactly.
    EXPECT_THAT(workspace.urlsForApplications("com.example.Editor"), IsEmpty());

    // Nothing is remembered between questions.
    fs::remove_all(release);
    EXPECT_EQ(workspace.urlForApplication("com.example.editor"), vendorCopy);

    const ScopedEnvironment none(ApplicationFolderFixture::folderVariable(), "");
    EXPECT_THAT(workspace.urlsForApplications("com.example.editor"), IsEmpty());
}

// Launched without an environment, the application sees the variable unset.
TEST(Workspace, ApplicationRunsFromLaunchUntilItsExecutableExits) {
    ApplicationFolderFixture fixture;
    const auto editor = identifierOfThisTest();
    const ScopedEnvironment clean("referrer", std::nullopt);
    const auto bundle = fixture.makeApplication("Editor", editor);
    EXPECT_FALSE(isRunning(editor));

    ASSERT_TRUE(workspace.openApplication(bundle, {}));
    ASSERT_TRUE(eventually([&] { return isRunning(editor); }));
    const auto running = workspace.runningApplications(editor);
    ASSERT_THAT(running, SizeIs(1));
    EXPECT_EQ(running.front().bundleURL, bundle);
    EXPECT_EQ(running.front().executableURL, bundle / "Contents" / "MacOS" / "Editor");
    EXPECT_GT(running.front().processIdentifier, 0);
    EXPECT_FALSE(isRunning("com.example.other"));
    ASSERT_TRUE(eventually([&] { return fixture.launchRecordOf("Editor").has_value(); }));
    EXPECT_EQ(fixture.launchRecordOf("Editor"), "-");

    fixture.stop("Editor");
    EXPECT_TRUE(eventually([&] { return !isRunning(editor); }));
}

TEST(Workspace, LaunchPassesEnvironmentAndSubstitutesRunningInstance) {
    ApplicationFolderFixture fixture;
    const auto editor = identifierOfThisTest();
    const auto bundle = fixture.makeApplication("Editor", editor);
    Workspace::OpenConfiguration configuration;
    configuration.allowsRunningApplicationSubstitution = true;
    configuration.environment = {{"referrer", "com.korvane.test"}};

    ASSERT_TRUE(workspace.openApplication(bundle, configuration));
    ASSERT_TRUE(eventually([&] { return fixture.launchRecordOf("Editor").has_value(); }));
    EXPECT_EQ(fixture.launchRecordOf("Editor"), "com.korvane.test");

    // The running instance answers; no second one starts.
    ASSERT_TRUE(workspace.openApplication(bundle, configuration));
    EXPECT_THAT(workspace.runningApplications(editor), SizeIs(1));

    configuration.allowsRunningApplicationSubstitution = false;
    ASSERT_TRUE(workspace.openApplication(bundle, configuration));
    EXPECT_TRUE(eventually([&] { return workspace.runningApplications(editor).size() == 2; }));
}

TEST(Workspace, RefusesToLaunchWhatIsNoApplication) {
    ApplicationFolderFixture fixture;
    const auto bundle = fixture.makeApplication("Editor", "com.example.editor");
    EXPECT_FALSE(workspace.openApplication(fixture.applications(), {}));
    EXPECT_FALSE(workspace.openApplication(fixture.root() / "Missing.app", {}));
    fs::remove(bundle / "Contents" / "MacOS" / "Editor");
    EXPECT_FALSE(workspace.openApplication(bundle, {}));
}

TEST(Workspace, OpensURLsWithTheConfiguredOpener) {
    ApplicationFolderFixture fixture;
    fixture.recordOpenedURLs();
    ASSERT_TRUE(workspace.openURL("https://example.com/a b?x=1&y"));
    EXPECT_TRUE(eventually([&] { return !fixture.openedURLs().empty(); }));
    EXPECT_THAT(fixture.openedURLs(), ElementsAre("https://example.com/a b?x=1&y"));

    const ScopedEnvironment missing("VELOTRACK_URL_OPENER", (fixture.root() / "none").string());
    EXPECT_FALSE(workspace.openURL("https://example.com"));
}

TEST(Workspace, IconsOfBundlesFoldersAndMissingFiles) {
    ApplicationFolderFixture fixture;
    const auto bundle = fixture.makeApplication("Editor", "com.example.editor");
    EXPECT_EQ(workspace.iconForFile(bundle),
              (Workspace::Icon{"application-x-executable", std::nullopt}));
    EXPECT_EQ(workspace.iconForFile(fixture.root()), (Workspace::Icon{"folder", std::nullopt}));
    EXPECT_EQ(workspace.iconForFile(fixture.root() / "missing"), std::nullopt);
}

} // namespace
} // namespace platform
