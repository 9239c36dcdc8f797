#include <atomic>
#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvntime/BasicTimer.h>
#include <kvntime/DisplayLinkTimer.h>
#include <kvntime/OneShotTimer.h>
#include <kvntime/RepeatingTimer.h>
#include <kvntime/TimerFactory.h>
#include <platform/RunLoop.h>
#include <thread>

namespace kvntime {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::EndsWith;
using testing::StartsWith;

// Counts handler calls and remembers whether they all came on the expected thread.
struct Ticks {
    std::atomic<int> count{0};
    std::atomic<bool> onExpectedThread{true};
    std::atomic<Clock::rep> last{0};

    std::function<void()> handler(std::function<bool()> expectedThread) {
        return [this, expectedThread = std::move(expectedThread)] {
            onExpectedThread = onExpectedThread && expectedThread();
            last = Clock::now().time_since_epoch().count();
            ++count;
        };
    }
};

TEST(TimerFactory, MakesSuspendedTimersOfTheRequestedKind) {
    EXPECT_DOUBLE_EQ(TimerFactory::fps60, 1.0 / 60);
    EXPECT_DOUBLE_EQ(TimerFactory::fps30, 1.0 / 30);
    const TimerFactory::TimerType types[] = {
        TimerFactory::Basic{0.5, 10},
        TimerFactory::OneShot{0.25, platform::QualityOfService::utility},
        TimerFactory::Repeating{TimerFactory::fps30, platform::QualityOfService::userInitiated, 5},
    };
    for (const auto& type : types) {
        const auto timer = TimerFactory::create(type);
        EXPECT_EQ(timer->state(), TimerState::suspended);
        EXPECT_FALSE(timer->eventHandler());
        if (const auto* basic = dynamic_cast<const BasicTimer*>(timer.get())) {
            EXPECT_EQ(basic->timerType(), type);
        } else if (const auto* oneShot = dynamic_cast<const OneShotTimer*>(timer.get())) {
            EXPECT_EQ(oneShot->timerType(), type);
            EXPECT_EQ(oneShot->queue()->label(), "com.korvane.KVN.OneShotTimer");
        } else if (const auto* repeating = dynamic_cast<const RepeatingTimer*>(timer.get())) {
            EXPECT_EQ(repeating->timerType(), type);
            EXPECT_EQ(repeating->queue()->label(), "com.korvane.KVN.RepeatingTimer");
            EXPECT_DOUBLE_EQ(repeating->fps(), 30);
        } else {
            ADD_FAILURE() << "unexpected timer class";
        }
    }
}

TEST(BasicTimer, ResumingTwiceKeepsOneScheduleOnTheMainRunLoop) {
    Ticks ticks;
    const auto loopThread = std::this_thread::get_id();
    BasicTimer timer(0.02, 5,
                     ticks.handler([&] { return std::this_thread::get_id() == loopThread; }));
    timer.resume();
    timer.resume();
    EXPECT_EQ(timer.state(), TimerState::resumed);
    platform::RunLoop::runFor(250ms);
    // About 12 ticks; two schedules would give about 24.
    EXPECT_GE(ticks.count, 3);
    EXPECT_LE(ticks.count, 14);
    EXPECT_TRUE(ticks.onExpectedThread);

    timer.suspend();
    EXPECT_EQ(timer.state(), TimerState::suspended);
    const int counted = ticks.count;
    platform::RunLoop::runFor(60ms);
    EXPECT_EQ(ticks.count, counted);
}

TEST(OneShotTimer, EveryResumeRestartsTheDelayAndItFiresOnceOnItsQueue) {
    Ticks ticks;
    OneShotTimer timer(0.15);
    timer.setEventHandler(ticks.handler([&] { return timer.queue()->isCurrent(); }));
    timer.resume();
    std::this_thread::sleep_for(80ms);
    const auto secondResume = Clock::now();
    timer.resume();
    const auto deadline = Clock::now() + 3s;
    while (ticks.count == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(ticks.count, 1);
    EXPECT_GE(Clock::time_point(Clock::duration(ticks.last.load())) - secondResume, 140ms);
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(ticks.count, 1);
    EXPECT_TRUE(ticks.onExpectedThread);
    EXPECT_EQ(timer.state(), TimerState::resumed);
}

TEST(OneShotTimer, SuspendOrReleaseCancelsThePendingCall) {
    Ticks ticks;
    {
        // Long delays, so that a slow machine still suspends and releases well before them.
        OneShotTimer suspended(0.25, platform::QualityOfService::defaultClass,
                               ticks.handler([] { return true; }));
        OneShotTimer released(0.25, platform::QualityOfService::defaultClass,
                              ticks.handler([] { return true; }));
        OneShotTimer withoutHandler(0.01);
        suspended.resume();
        suspended.suspend();
        released.resume();
        withoutHandler.resume(); // nothing to schedule
    }
    std::this_thread::sleep_for(350ms);
    EXPECT_EQ(ticks.count, 0);
}

TEST(RepeatingTimer, TicksOnItsQueueUntilSuspendedAndIsSafeToReleaseInAnyState) {
    Ticks ticks;
    auto timer = std::make_unique<RepeatingTimer>(0.02);
    // The queue, not the timer: a tick still running while the timer is released below must not
    // reach through the pointer that releasing empties.
    platform::DispatchQueue* queue = timer->queue().get();
    timer->setEventHandler(ticks.handler([queue] { return queue->isCurrent(); }));
    timer->resume();
    std::this_thread::sleep_for(200ms);
    timer->suspend();
    const int counted = ticks.count;
    EXPECT_GE(counted, 3);
    EXPECT_LE(counted, 11);
    EXPECT_TRUE(ticks.onExpectedThread);
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(ticks.count, counted);

    timer->resume(); // continues after a suspension
    std::this_thread::sleep_for(100ms);
    EXPECT_GT(ticks.count, counted);
    timer->suspend();
    timer.reset(); // released while suspended

    RepeatingTimer running(0.005, platform::QualityOfService::defaultClass, 0,
                           ticks.handler([] { return true; }));
    running.resume();
    std::this_thread::sleep_for(30ms);
}

TEST(RepeatingTimer, NoTickAfterRelease) {
    std::atomic<bool> released{false};
    std::atomic<bool> tickedAfterRelease{false};
    {
        RepeatingTimer timer(0.002);
        timer.setEventHandler([&] {
            std::this_thread::sleep_for(3ms); // widen the window for a tick in flight
            tickedAfterRelease = tickedAfterRelease || released;
        });
        timer.resume();
        std::this_thread::sleep_for(40ms);
    }
    released = true;
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(tickedAfterRelease);
}

TEST(DisplayLinkTimer, TicksAtTheDisplayRateOffTheMainThread) {
    Ticks ticks;
    const auto mainThread = std::this_thread::get_id();
    DisplayLinkTimer timer;
    EXPECT_TRUE(timer.hasDisplayLink());
    EXPECT_NEAR(timer.fps(), 60, 1e-4);
    timer.setEventHandler(ticks.handler([&] { return std::this_thread::get_id() != mainThread; }));
    timer.resume();
    std::this_thread::sleep_for(200ms);
    timer.suspend();
    EXPECT_GE(ticks.count, 3);
    EXPECT_LE(ticks.count, 14);
    EXPECT_TRUE(ticks.onExpectedThread);
}

TEST(DisplayLinkTimer, WithoutADisplayLinkItLogsAndStaysInert) {
    koltutils::ScopedLogCapture capture;
    {
        DisplayLinkTimer timer(nullptr);
        EXPECT_FALSE(timer.hasDisplayLink());
        EXPECT_EQ(timer.timeInterval(), 0);
        timer.resume();
        EXPECT_EQ(timer.state(), TimerState::resumed);
    }
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[0], StartsWith("🚩 DisplayLink.cpp:init():"));
    EXPECT_THAT(lines[0], EndsWith(":Failed to create timer"));
    EXPECT_THAT(lines[1], StartsWith("DisplayLink.cpp:deinit:"));
    EXPECT_THAT(lines[1], EndsWith(":* { DisplayLinkTimer }"));

    capture.clear();
    { DisplayLinkTimer timer; }
    EXPECT_THAT(capture.lines(), testing::ElementsAre(EndsWith(":* { DisplayLinkTimer }"),
                                                      EndsWith(":* { DisplayLink }")));
}

} // namespace
} // namespace kvntime
