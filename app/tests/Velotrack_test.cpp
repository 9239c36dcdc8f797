#include "Velotrack.h"
#include "WorkspaceFixture.h"
#include "koltutils/ScopedLogCapture.h"
#include "platform/Bundle.h"
#include "platform/Workspace.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using testing::AllOf;
using testing::ElementsAre;
using testing::EndsWith;
using testing::StartsWith;
using velotrack::StartupWindow;
using velotrack::Velotrack;

namespace {

// What the delegate did to its updater and to the process, kept apart from the delegate so that
// it survives it.
struct Record {
    std::vector<std::string> updaterCalls;
    std::vector<int> exitStatuses;
    std::optional<velotrack::UpdaterError> startError;
};

class RecordingUpdater final : public velotrack::Updater {
public:
    explicit RecordingUpdater(std::shared_ptr<Record> record) : record_(std::move(record)) {}

    void setAutomaticallyChecksForUpdates(bool automatically) override {
        record_->updaterCalls.push_back(std::string("automatically ") +
                                        (automatically ? "true" : "false"));
    }
    void setUpdateCheckInterval(std::chrono::seconds interval) override {
        record_->updaterCalls.push_back("interval " + std::to_string(interval.count()));
    }
    std::optional<velotrack::UpdaterError> startUpdater() override {
        record_->updaterCalls.push_back("start");
        return record_->startError;
    }
    void checkForUpdates() override { record_->updaterCalls.push_back("check"); }

private:
    std::shared_ptr<Record> record_;
};

class VelotrackTest : public testing::Test {
protected:
    VelotrackTest() { applications_.recordOpenedURLs(); }

    // The delegate as the application makes it, with the process exit and the updater recorded.
    std::unique_ptr<Velotrack> makeDelegate() {
        Velotrack::Services services{
            &platform::Workspace::shared(),
            [record = record_](int status) { record->exitStatuses.push_back(status); },
            [record = record_](velotrack::UpdaterDelegate&) {
                return std::make_unique<RecordingUpdater>(record);
            },
            velotrack::ImageAssets(VELOTRACK_APP_RESOURCES)};
        auto delegate = std::make_unique<Velotrack>(std::move(services));
        delegate->info.buildProperties = velotrack::BundleProperties{};
        return delegate;
    }

    // A launched application: the window laid out, the delegate connected and set up.
    std::unique_ptr<Velotrack> launch() {
        auto delegate = makeDelegate();
        delegate->connectInterface(window_);
        delegate->applicationDidFinishLaunching();
        return delegate;
    }

    std::vector<std::string> applicationMenuTexts() const {
        std::vector<std::string> texts;
        for (auto* item : window_.menuBar()->actions().front()->menu()->actions()) {
            texts.push_back(item->isSeparator() ? "---" : item->text().toStdString());
        }
        return texts;
    }

    platform::testing::ApplicationFolderFixture applications_;
    std::shared_ptr<Record> record_ = std::make_shared<Record>();
    StartupWindow window_;
};

bool hasImage(const QLabel* view) {
    return !view->pixmap().isNull();
}

} // namespace

// The editor finds the make command and the asset class through the definition the bundle names.
TEST(VelotrackBundle, CarriesTheScriptingDefinitionItNames) {
    const std::filesystem::path resources(VELOTRACK_APP_RESOURCES);
    const auto bundle = platform::Bundle::atPath(resources.parent_path().parent_path());
    ASSERT_TRUE(bundle);
    const auto name = bundle->infoString("OSAScriptingDefinition");
    ASSERT_EQ(name, "Velotrack.sdef");
    std::ifstream stream(resources / *name);
    const std::string text{std::istreambuf_iterator<char>(stream),
                           std::istreambuf_iterator<char>()};
    EXPECT_NE(text.find("code=\"KVas\""), std::string::npos);
}

TEST_F(VelotrackTest, WithoutTheEditorOffersTheDownloadAndStaysOpen) {
    auto delegate = launch();

    EXPECT_EQ(window_.windowTitle(), "Velotrack for Final Cut Pro");
    EXPECT_TRUE(window_.isVisible());
    EXPECT_EQ(window_.actionButton()->text(), "Get Final Cut Pro");
    EXPECT_EQ(window_.textField()->text(), "Final Cut Pro isn't installed but you can download a "
                                           "free trial to try out the extension.");
    EXPECT_TRUE(hasImage(window_.imageView())) << "the editor's icon";
    EXPECT_TRUE(hasImage(window_.kvnImageView())) << "the maker's logo";

    QTest::mouseClick(window_.actionButton(), Qt::LeftButton);
    ASSERT_TRUE(platform::testing::eventually([&] { return !applications_.openedURLs().empty(); }));
    EXPECT_THAT(applications_.openedURLs(), ElementsAre("https://www.apple.com/final-cut-pro/"));
    QTest::qWait(1300);
    EXPECT_TRUE(record_->exitStatuses.empty());
    EXPECT_TRUE(window_.isVisible());
}

TEST_F(VelotrackTest, WithOnlyTheTrialOpensItAndEndsOneSecondLater) {
    applications_.makeApplication("Final Cut Pro Trial", "com.apple.FinalCutTrial");
    auto delegate = makeDelegate();
    delegate->info.buildProperties.appName = "Velotrack Light";
    delegate->connectInterface(window_);
    delegate->applicationDidFinishLaunching();

    EXPECT_EQ(window_.windowTitle(), "Velotrack Light for Final Cut Pro");
    EXPECT_EQ(window_.actionButton()->text(), "Open Final Cut Pro");
    EXPECT_EQ(window_.textField()->text(),
              "The Velotrack Light workspace extension is now installed. You can find it in the "
              "Window → Extensions menu of Final Cut Pro.");
    EXPECT_FALSE(hasImage(window_.imageView())) << "keeps what the interface gave it";

    const auto pressed = std::chrono::steady_clock::now();
    window_.actionButton()->click();
    EXPECT_TRUE(record_->exitStatuses.empty()) << "the action returns at once";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !record_->exitStatuses.empty(); }, 10000));
    EXPECT_GE(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(950));
    EXPECT_THAT(record_->exitStatuses, ElementsAre(0));
    EXPECT_TRUE(platform::testing::eventually(
        [&] { return applications_.launchRecordOf("Final Cut Pro Trial").has_value(); }));
}

TEST_F(VelotrackTest, ClosingTheWindowEndsTheProcessAtOnce) {
    koltutils::ScopedLogCapture capture;
    auto delegate = launch();
    window_.close();
    EXPECT_THAT(record_->exitStatuses, ElementsAre(0));

    delegate->applicationWillTerminate();
    EXPECT_THAT(capture.lines(),
                ElementsAre(StartsWith("Velotrack.cpp:applicationWillTerminate(_:):")));
    EXPECT_THAT(capture.lines().back(), EndsWith(":*"));
}

TEST_F(VelotrackTest, StartsTheUpdaterAndPutsItsItemUnderTheFirstMenuItem) {
    auto delegate = launch();

    EXPECT_THAT(record_->updaterCalls, ElementsAre("automatically true", "interval 0", "start"));
    EXPECT_THAT(
        applicationMenuTexts(),
        ElementsAre("About Velotrack", "---", "Check For Updates...", "---", "Quit Velotrack"));
    auto* checkItem = window_.menuBar()->actions().front()->menu()->actions().at(2);
    EXPECT_TRUE(checkItem->shortcut().isEmpty());
    checkItem->trigger();
    EXPECT_EQ(record_->updaterCalls.back(), "check");

    // Once the delegate is gone, the item does nothing.
    delegate.reset();
    const auto calls = record_->updaterCalls.size();
    checkItem->trigger();
    EXPECT_EQ(record_->updaterCalls.size(), calls);
}

TEST_F(VelotrackTest, AMissingMenuOrAFailedStartIsLoggedAndTolerated) {
    koltutils::ScopedLogCapture capture;
    record_->startError = velotrack::UpdaterError{"no feed"};
    auto delegate = makeDelegate();
    // No window at all: every step that needs one is skipped.
    delegate->applicationDidFinishLaunching();

    EXPECT_THAT(record_->updaterCalls, ElementsAre("automatically true", "interval 0", "start"));
    const auto from = StartsWith("🚩 Velotrack.cpp:initUpdater():");
    EXPECT_THAT(capture.lines(), ElementsAre(AllOf(from, EndsWith(":Didn't find Velotrack")),
                                             AllOf(from, EndsWith(":no feed"))));
}

TEST_F(VelotrackTest, FeedIsTheMakersAppcastUnlessTheEnvironmentNamesAnother) {
    auto delegate = makeDelegate();
    {
        platform::testing::ScopedEnvironment noOverride("VELOTRACK_APPCAST_URL", std::nullopt);
        EXPECT_THAT(delegate->feedURLString(), StartsWith("https://"));
        EXPECT_THAT(delegate->feedURLString(), EndsWith("/velotrack-light/appcast.xml"));
    }
    platform::testing::ScopedEnvironment offline("VELOTRACK_APPCAST_URL", "file:///tmp/feed.xml");
    EXPECT_EQ(delegate->feedURLString(), "file:///tmp/feed.xml");
}
