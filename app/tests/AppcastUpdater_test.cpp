#include "AppcastUpdater.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTest>
#include <QUrl>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

using namespace std::chrono_literals;
using testing::HasSubstr;
using velotrack::AppcastUpdater;
using velotrack::InstalledVersion;
using velotrack::UpdateCheck;
using velotrack::UpdateCheckOutcome;

namespace {

class RecordingUserDriver final : public velotrack::UpdateUserDriver {
public:
    explicit RecordingUserDriver(std::shared_ptr<std::vector<UpdateCheckOutcome>> shown)
        : shown_(std::move(shown)) {}
    void show(const UpdateCheckOutcome& outcome) override { shown_->push_back(outcome); }

private:
    std::shared_ptr<std::vector<UpdateCheckOutcome>> shown_;
};

class FeedDelegate final : public velotrack::UpdaterDelegate {
public:
    std::string feed;
    std::string feedURLString() const override { return feed; }
    bool mayPerformUpdateCheck(UpdateCheck) const override { return true; }
};

class AppcastUpdaterTest : public testing::Test {
protected:
    AppcastUpdaterTest() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velotrack-feed-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        folder_ = pattern;
    }
    ~AppcastUpdaterTest() override { std::filesystem::remove_all(folder_); }

    // A file feed whose single item has this version; returns its file URL.
    std::string writeFeed(const std::string& version) {
        const auto file = folder_ / "appcast.xml";
        std::ofstream(file)
            << R"(<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">)"
            << "<channel><item><sparkle:version>" << version << "</sparkle:version>"
            << "<link>https://korvane.com/velotrack</link></item></channel></rss>";
        return fileURL(file);
    }
    std::string fileURL(const std::filesystem::path& file) const {
        return QUrl::fromLocalFile(QString::fromStdString(file.string())).toString().toStdString();
    }

    std::unique_ptr<AppcastUpdater> makeUpdater(std::chrono::milliseconds timeout = 20s) {
        return std::make_unique<AppcastUpdater>(
            delegate_, InstalledVersion{"Velotrack", "1.4", "1.4.0"},
            std::make_unique<RecordingUserDriver>(shown_), timeout);
    }

    // Starts an updater on the delegate's feed, asks for a check and waits for its outcome.
    std::vector<UpdateCheckOutcome> checkByHand(std::chrono::milliseconds timeout = 20s) {
        auto updater = makeUpdater(timeout);
        EXPECT_EQ(updater->startUpdater(), std::nullopt);
        updater->checkForUpdates();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !shown_->empty(); }, 30000));
        return *shown_;
    }

    std::filesystem::path folder_;
    FeedDelegate delegate_;
    std::shared_ptr<std::vector<UpdateCheckOutcome>> shown_ =
        std::make_shared<std::vector<UpdateCheckOutcome>>();
};

} // namespace

TEST_F(AppcastUpdaterTest, TellsOfANewerVersionAndWhereToGetItOrThatItIsUpToDate) {
    delegate_.feed = writeFeed("1.10");
    auto shown = checkByHand();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, UpdateCheckOutcome::Kind::newerVersion);
    EXPECT_EQ(shown[0].title, "A new version of Velotrack is available!");
    EXPECT_EQ(shown[0].message, "Velotrack 1.10 is now available — you have 1.4.0.\n"
                                "Get it at https://korvane.com/velotrack");
    EXPECT_EQ(shown[0].downloadPage, "https://korvane.com/velotrack");

    shown_->clear();
    delegate_.feed = writeFeed("1.4");
    shown = checkByHand();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, UpdateCheckOutcome::Kind::upToDate);
    EXPECT_EQ(shown[0].message, "Velotrack 1.4.0 is currently the newest version available.");
}

TEST_F(AppcastUpdaterTest, AMissingOrBrokenFeedIsOneClearFailure) {
    delegate_.feed = fileURL(folder_ / "missing.xml");
    auto shown = checkByHand();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, UpdateCheckOutcome::Kind::failed);
    EXPECT_THAT(shown[0].message, testing::StartsWith("Velotrack couldn't check for updates: "));
    EXPECT_THAT(shown[0].message, HasSubstr("missing.xml"));

    shown_->clear();
    std::ofstream(folder_ / "broken.xml") << "<rss><channel><item>";
    delegate_.feed = fileURL(folder_ / "broken.xml");
    shown = checkByHand();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_THAT(shown[0].message, HasSubstr("not well-formed XML"));
}

TEST_F(AppcastUpdaterTest, AServerThatNeverAnswersEndsInAFailureNotAHang) {
    QTcpServer silentServer;
    ASSERT_TRUE(silentServer.listen(QHostAddress::LocalHost));
    delegate_.feed =
        "https://127.0.0.1:" + std::to_string(silentServer.serverPort()) + "/appcast.xml";
    const auto shown = checkByHand(300ms);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, UpdateCheckOutcome::Kind::failed);
}

TEST_F(AppcastUpdaterTest, ScheduledChecksSpeakOnlyOfNewerVersions) {
    delegate_.feed = writeFeed("1.4");
    {
        auto updater = makeUpdater();
        updater->setAutomaticallyChecksForUpdates(true);
        ASSERT_EQ(updater->startUpdater(), std::nullopt);
        QTest::qWait(50);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !updater->isChecking(); }, 30000));
        EXPECT_TRUE(shown_->empty());
    }
    delegate_.feed = writeFeed("2.0");
    auto updater = makeUpdater();
    updater->setAutomaticallyChecksForUpdates(true);
    ASSERT_EQ(updater->startUpdater(), std::nullopt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown_->empty(); }, 30000));
    EXPECT_EQ(shown_->front().kind, UpdateCheckOutcome::Kind::newerVersion);
}

TEST_F(AppcastUpdaterTest, RefusesToStartOnAFeedThatIsNotHttpsOrAFile) {
    delegate_.feed = "http://korvane.com/velotrack-light/appcast.xml";
    auto updater = makeUpdater();
    const auto error = updater->startUpdater();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(), "The update feed address \"http://korvane.com/velotrack-light/"
                                    "appcast.xml\" is not an https or file address.");
    updater->checkForUpdates();
    ASSERT_EQ(shown_->size(), 1u);
    EXPECT_EQ(shown_->front().message,
              "Velotrack couldn't check for updates: the updater is not running.");
}
