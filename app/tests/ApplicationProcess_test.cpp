// The application as a process of its own: its exit status and timing are the real ones.

#include "WorkspaceFixture.h"

#include <QProcess>
#include <QStringList>
#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Run {
    bool finished = false;
    int exitStatus = -1;
    std::chrono::milliseconds elapsed{0};
};

// Runs a program with the test's environment (which names the prepared application folders) and
// waits for it to end by itself.
Run runToEnd(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto started = std::chrono::steady_clock::now();
    process.start(program, arguments);
    Run run;
    run.finished = process.waitForStarted(20000) && process.waitForFinished(30000);
    run.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

const QString driver = QStringLiteral(VELOTRACK_APP_DRIVER);

class ApplicationProcessTest : public testing::Test {
protected:
    platform::testing::ApplicationFolderFixture applications_;
    // The start-up check reads a feed that is not there (and so stays silent) instead of going
    // out to the network.
    platform::testing::ScopedEnvironment feed_{
        "VELOTRACK_APPCAST_URL", "file://" + (applications_.root() / "appcast.xml").string()};
};

} // namespace

TEST_F(ApplicationProcessTest, OpensTheEditorAndExitsWithZeroAboutASecondLater) {
    applications_.makeApplication("Final Cut Pro", "com.apple.FinalCut");
    const auto run = runToEnd(driver, {QStringLiteral("press")});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_GE(run.elapsed, std::chrono::milliseconds(1000));
    EXPECT_TRUE(platform::testing::eventually(
        [&] { return applications_.launchRecordOf("Final Cut Pro").has_value(); }));
}

TEST_F(ApplicationProcessTest, ClosingTheWindowExitsWithZeroEvenDuringTheWait) {
    const auto closed = runToEnd(driver, {QStringLiteral("close")});
    ASSERT_TRUE(closed.finished);
    EXPECT_EQ(closed.exitStatus, 0);

    applications_.makeApplication("Final Cut Pro", "com.apple.FinalCut");
    const auto closedWhileWaiting = runToEnd(driver, {QStringLiteral("press-close")});
    ASSERT_TRUE(closedWhileWaiting.finished);
    EXPECT_EQ(closedWhileWaiting.exitStatus, 0);
}

TEST_F(ApplicationProcessTest, TheBundledApplicationStartsAndKeepsRunning) {
    QProcess process;
    process.start(QStringLiteral(VELOTRACK_APP_EXECUTABLE), {});
    ASSERT_TRUE(process.waitForStarted(20000));
    // Without the editor nothing ends the application but the person.
    EXPECT_FALSE(process.waitForFinished(1500)) << "ended with status " << process.exitCode();
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
}
