#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <platform/DisplayClock.h>
#include <thread>

namespace platform {
namespace {

using namespace std::chrono_literals;

TEST(DisplayClock, ReportsItsNominalPeriodAndFallsBackToTheDisplayRate) {
    EXPECT_EQ(DisplayClock().nominalPeriod(), 16666667ns);
    EXPECT_EQ(DisplayClock(50).nominalPeriod(), 20ms);
    EXPECT_EQ(DisplayClock(0).nominalPeriod(), 16666667ns);
    DisplayClock::setDisplayRefreshRate(-1); // ignored
    EXPECT_EQ(DisplayClock::displayRefreshRate(), 60);
}

TEST(DisplayClock, TicksOnItsOwnThreadUntilStopped) {
    DisplayClock clock(100);
    std::atomic<int> ticks{0};
    std::atomic<bool> onOtherThread{true};
    const auto caller = std::this_thread::get_id();
    clock.setCallback([&] {
        onOtherThread = onOtherThread && std::this_thread::get_id() != caller;
        ++ticks;
    });
    ASSERT_TRUE(clock.start());
    EXPECT_TRUE(clock.start()); // already running: no second thread
    std::this_thread::sleep_for(200ms);
    clock.stop();
    const int counted = ticks;
    // About 20 ticks; a loaded machine delays and skips some, never adds any.
    EXPECT_GE(counted, 3);
    EXPECT_LE(counted, 21);
    EXPECT_TRUE(onOtherThread);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(ticks, counted);
    EXPECT_FALSE(clock.isRunning());

    ASSERT_TRUE(clock.start()); // restartable
    std::this_thread::sleep_for(50ms);
    clock.stop();
    EXPECT_GT(ticks, counted);
}

} // namespace
} // namespace platform
