#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <platform/DispatchQueue.h>
#include <platform/RunLoop.h>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

using platform::DispatchQueue;
using platform::RunLoop;

TEST(DispatchQueue, MainQueueWorkRunsOnTheThreadThatRunsTheLoopInOrder) {
    std::vector<int> order;
    std::thread::id ranOn;
    auto main = DispatchQueue::main();
    std::thread poster([&] {
        main->async([&] { order.push_back(1); });
        main->async([&] {
            order.push_back(2);
            ranOn = std::this_thread::get_id();
        });
    });
    poster.join();
    EXPECT_TRUE(RunLoop::runUntil([&] { return order.size() == 2; }, 5s));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(DispatchQueue, DelayedWorkWaitsForItsDelayAndCancelledWorkNeverRuns) {
    auto main = DispatchQueue::main();
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point ranAt;
    bool cancelledRan = false;
    main->asyncAfter(30ms, [&] { ranAt = std::chrono::steady_clock::now(); });
    auto cancelled = main->asyncAfter(10ms, [&] { cancelledRan = true; });
    cancelled.cancel();
    EXPECT_TRUE(cancelled.isCancelled());
    EXPECT_TRUE(RunLoop::runUntil([&] { return ranAt != decltype(ranAt){}; }, 5s));
    EXPECT_GE(ranAt - start, 30ms);
    RunLoop::runFor(20ms);
    EXPECT_FALSE(cancelledRan);
}

TEST(DispatchQueue, SerialQueueRunsOneItemAtATimeInSubmissionOrder) {
    auto queue = DispatchQueue::makeSerial("com.korvane.test.serial");
    EXPECT_EQ(queue->label(), "com.korvane.test.serial");
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> running{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> done{0};
    std::atomic<bool> sawCurrent{false};
    for (int item = 0; item < 50; ++item) {
        queue->async([&, item] {
            if (running.fetch_add(1) != 0) {
                ++overlaps;
            }
            sawCurrent = queue->isCurrent();
            {
                const std::lock_guard lock(mutex);
                order.push_back(item);
            }
            running.fetch_sub(1);
            ++done;
        });
    }
    EXPECT_TRUE(RunLoop::runUntil([&] { return done.load() == 50; }, 5s));
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_TRUE(sawCurrent.load());
    EXPECT_FALSE(queue->isCurrent());
    const std::lock_guard lock(mutex);
    for (int item = 0; item < 50; ++item) {
        EXPECT_EQ(order[static_cast<std::size_t>(item)], item);
    }
}

TEST(DispatchQueue, ReleasingASerialQueueDropsWaitingWorkAndEndsItsThread) {
    auto captured = std::make_shared<int>(7);
    std::atomic<bool> ran{false};
    {
        auto queue = DispatchQueue::makeSerial("com.korvane.test.released");
        queue->asyncAfter(10s, [captured, &ran] { ran = true; });
    }
    // The closure (and what it captured) is gone with the queue.
    EXPECT_EQ(captured.use_count(), 1);
    EXPECT_FALSE(ran.load());

    // A queue released by its own work ends without joining itself.
    std::atomic<bool> finished{false};
    {
        auto queue = DispatchQueue::makeSerial("com.korvane.test.self-release");
        auto* holder = new std::shared_ptr<DispatchQueue>(queue);
        queue->async([holder, &finished] {
            delete holder;
            finished = true;
        });
    }
    EXPECT_TRUE(RunLoop::runUntil([&] { return finished.load(); }, 5s));
}

TEST(DispatchQueue, RepeatingWorkTicksUntilCancelledWithoutOverlapping) {
    for (const auto& queue :
         {DispatchQueue::global(), DispatchQueue::makeSerial("com.korvane.t")}) {
        std::atomic<int> ticks{0};
        std::atomic<int> running{0};
        std::atomic<int> overlaps{0};
        auto work = queue->scheduleRepeating(0ms, 5ms, 1ms, [&] {
            if (running.fetch_add(1) != 0) {
                ++overlaps;
            }
            std::this_thread::sleep_for(7ms);
            ++ticks;
            running.fetch_sub(1);
        });
        EXPECT_TRUE(RunLoop::runUntil([&] { return ticks.load() >= 5; }, 5s)) << queue->label();
        work.cancel();
        RunLoop::runFor(30ms);
        const int afterCancel = ticks.load();
        RunLoop::runFor(40ms);
        EXPECT_EQ(ticks.load(), afterCancel) << queue->label();
        EXPECT_EQ(overlaps.load(), 0) << queue->label();
    }
}

TEST(DispatchQueue, GlobalQueueRunsWorkOnOtherThreadsAndKeepsItsLabel) {
    auto queue = DispatchQueue::global();
    EXPECT_EQ(queue, DispatchQueue::global(platform::QualityOfService::defaultClass));
    EXPECT_EQ(queue->label(), "com.apple.root.default-qos");
    EXPECT_EQ(DispatchQueue::global(platform::QualityOfService::background)->label(),
              "com.apple.root.background-qos");
    std::atomic<int> done{0};
    std::atomic<bool> onOtherThread{true};
    const auto caller = std::this_thread::get_id();
    for (int item = 0; item < 20; ++item) {
        queue->async([&] {
            if (std::this_thread::get_id() == caller) {
                onOtherThread = false;
            }
            ++done;
        });
    }
    queue->asyncAfter(5ms, [&] { ++done; });
    EXPECT_TRUE(RunLoop::runUntil([&] { return done.load() == 21; }, 5s));
    EXPECT_TRUE(onOtherThread.load());
}

TEST(RunLoop, StopFromAnotherThreadEndsARunningLoopOnly) {
    RunLoop::stop(); // nothing runs: must not end the next run at once
    const auto start = std::chrono::steady_clock::now();
    std::thread stopper([] {
        std::this_thread::sleep_for(30ms);
        RunLoop::stop();
    });
    RunLoop::run();
    stopper.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
    EXPECT_FALSE(RunLoop::runUntil([] { return false; }, 20ms));
}

} // namespace
