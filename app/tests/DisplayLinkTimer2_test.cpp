#include "DisplayLinkTimer2.h"

#include <QTest>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <memory>

using velotrack::DisplayLinkTimer2;

namespace {

TEST(DisplayLinkTimer2, FramesCallTheHandlerWhileResumedAndStopWhenSuspended) {
    QWidget view;
    view.resize(120, 80);
    view.show();
    int frames = 0;
    DisplayLinkTimer2 timer(view, [&] { ++frames; });
    EXPECT_EQ(timer.state(), kvntime::TimerState::suspended);
    EXPECT_EQ(timer.timestamp(), 0.0);
    EXPECT_GT(timer.timeInterval(), 0.0);

    timer.resume();
    timer.resume(); // a second resume must not double the frame requests
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames >= 3; }, 5000));
    EXPECT_GT(timer.timestamp(), 0.0);

    timer.suspend();
    const int atSuspend = frames;
    QTest::qWait(150);
    EXPECT_LE(frames, atSuspend + 1); // at most the frame already asked for
    const int settled = frames;
    QTest::qWait(100);
    EXPECT_EQ(frames, settled);
}

TEST(DisplayLinkTimer2, ReleaseLogsAndNothingFiresAfterIt) {
    QWidget view;
    view.show();
    int frames = 0;
    koltutils::ScopedLogCapture capture;
    {
        DisplayLinkTimer2 timer(view, [&] { ++frames; });
        timer.resume();
        ASSERT_TRUE(QTest::qWaitFor([&] { return frames >= 1; }, 5000));
    }
    const int atRelease = frames;
    QTest::qWait(150);
    EXPECT_EQ(frames, atRelease);
    const auto lines = capture.lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("* { DisplayLinkTimer2 }") != std::string::npos;
    }));
}

} // namespace
