#include <atomic>
#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvntime/TransportTimer.h>
#include <mutex>
#include <platform/RunLoop.h>
#include <thread>
#include <vector>

namespace kvntime {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Event = TransportTimer::Event;
using PlayState = TransportTimer::PlayState;
using testing::ElementsAre;

// Events arrive on the tick thread and on the caller's; keeps them in order under a lock.
class Recorder {
public:
    TransportTimer::EventHandler handler() {
        return [this](const Event& event) {
            const std::lock_guard lock(mutex_);
            events_.push_back({event, Clock::now()});
        };
    }
    std::vector<Event> states() const {
        std::vector<Event> states;
        const std::lock_guard lock(mutex_);
        for (const auto& [event, at] : events_) {
            if (event.kind == Event::Kind::state) {
                states.push_back(event);
            }
        }
        return states;
    }
    std::vector<std::pair<double, Clock::time_point>> times() const {
        std::vector<std::pair<double, Clock::time_point>> times;
        const std::lock_guard lock(mutex_);
        for (const auto& [event, at] : events_) {
            if (event.kind == Event::Kind::time) {
                times.emplace_back(event.time, at);
            }
        }
        return times;
    }
    std::optional<Clock::time_point> timeOf(const Event& wanted) const {
        const std::lock_guard lock(mutex_);
        for (const auto& [event, at] : events_) {
            if (event == wanted) {
                return at;
            }
        }
        return std::nullopt;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<Event, Clock::time_point>> events_;
};

TEST(TransportTimer, StartedAtAPositionRisesWithTheHostClock) {
    Recorder recorder;
    TransportTimer transport(recorder.handler());
    EXPECT_NEAR(transport.fps(), 60, 1e-4);
    const auto started = Clock::now();
    const std::uint64_t before = TransportTimer::currentHostTime();
    transport.start(12.5);
    EXPECT_TRUE(transport.isPlaying());
    EXPECT_GE(transport.lastStoredHostTime(), before);
    std::this_thread::sleep_for(250ms);
    transport.stop();
    const auto elapsed = std::chrono::duration<double>(Clock::now() - started).count();

    EXPECT_THAT(recorder.states(),
                ElementsAre(Event::state(PlayState::start), Event::state(PlayState::stop)));
    const auto times = recorder.times();
    ASSERT_GE(times.size(), 3u);
    double previous = 12.5;
    for (const auto& [position, at] : times) {
        EXPECT_GE(position, previous);
        // Position = start + seconds since the start, read when the tick was reported.
        const double sinceStart = std::chrono::duration<double>(at - started).count();
        EXPECT_NEAR(position, 12.5 + sinceStart, 0.02);
        previous = position;
    }
    EXPECT_LE(transport.position(), 12.5 + elapsed);
    EXPECT_GT(transport.position(), 12.5 + 0.1);
}

TEST(TransportTimer, AGivenHostTimeCountsFromThen) {
    TransportTimer transport;
    // Started as of half a second ago, from 2 s: the first ticks read about 2.5 s.
    transport.start(2.0, TransportTimer::currentHostTime() - 500'000'000);
    std::this_thread::sleep_for(60ms);
    transport.stop();
    EXPECT_NEAR(transport.position(), 2.55, 0.05);
}

TEST(TransportTimer, StartingWhilePlayingIsRefusedWithALogLine) {
    koltutils::ScopedLogCapture capture;
    Recorder recorder;
    TransportTimer transport(recorder.handler());
    transport.start(1.0);
    transport.start(50.0);
    transport.stop();
    transport.stop(); // stopped already: nothing
    EXPECT_THAT(recorder.states(),
                ElementsAre(Event::state(PlayState::start), Event::state(PlayState::stop)));
    EXPECT_LT(transport.position(), 2.0);
    EXPECT_THAT(
        capture.lines(),
        ElementsAre(testing::AllOf(testing::StartsWith("🚩 TransportTimer.cpp:start(at:hostTime:):"),
                                   testing::EndsWith(":Transport is already playing"))));
}

TEST(TransportTimer, PauseSendsStopThenPauseAndOnlyWhilePlaying) {
    Recorder recorder;
    TransportTimer transport(recorder.handler());
    transport.pause();
    transport.resume(0); // not paused: nothing
    EXPECT_TRUE(recorder.states().empty());

    transport.start(0.0);
    transport.pause();
    EXPECT_FALSE(transport.isPlaying());
    EXPECT_TRUE(transport.isPaused());
    transport.resume(0); // leaves the pause at once, without playing
    EXPECT_FALSE(transport.isPaused());
    EXPECT_FALSE(transport.isPlaying());
    EXPECT_THAT(recorder.states(),
                ElementsAre(Event::state(PlayState::start), Event::state(PlayState::stop),
                            Event::state(PlayState::pause), Event::state(PlayState::resume)));
}

TEST(TransportTimer, DelayedResumeWaitsAtLeastATenthAndPlaysOnFromThePausedPosition) {
    Recorder recorder;
    TransportTimer transport(recorder.handler());
    transport.start(5.0);
    std::this_thread::sleep_for(100ms);
    transport.pause();
    const double pausedAt = transport.position();
    EXPECT_GT(pausedAt, 5.0);

    const auto asked = Clock::now();
    transport.resume(0.05);
    EXPECT_TRUE(platform::RunLoop::runUntil(
        [&] { return recorder.timeOf(Event::state(PlayState::resume)).has_value(); }, 3s));
    const auto resumedAt = *recorder.timeOf(Event::state(PlayState::resume));
    EXPECT_GE(resumedAt - asked, 95ms);
    EXPECT_TRUE(transport.isPlaying());
    EXPECT_FALSE(transport.isPaused());
    std::this_thread::sleep_for(60ms);
    transport.stop();
    // Played on from where it paused, not from 5 s and not counting the pause.
    EXPECT_GT(transport.position(), pausedAt);
    EXPECT_LT(transport.position(), pausedAt + 0.5);
    EXPECT_THAT(recorder.states(),
                ElementsAre(Event::state(PlayState::start), Event::state(PlayState::stop),
                            Event::state(PlayState::pause), Event::state(PlayState::start),
                            Event::state(PlayState::resume), Event::state(PlayState::stop)));
}

TEST(TransportTimer, PositionIsReadAndSetFromOtherThreadsWhilePlaying) {
    TransportTimer transport([](const Event&) {});
    transport.start(100.0);
    // The position is the start's only from the first tick on, which a loaded machine delays.
    const auto firstTick = std::chrono::steady_clock::now() + 3s;
    while (transport.position() < 100.0 && std::chrono::steady_clock::now() < firstTick) {
        std::this_thread::sleep_for(1ms);
    }
    std::atomic<bool> done{false};
    std::atomic<int> strayReadings{0};
    std::vector<std::thread> threads;
    for (int index = 0; index < 3; ++index) {
        threads.emplace_back([&, index] {
            while (!done) {
                if (index == 0) {
                    transport.setPosition(7.0);
                }
                // Either what was set or what a tick computed, never a mix.
                const double position = transport.position();
                if (position != 7.0 && !(position >= 100.0 && position < 110.0)) {
                    ++strayReadings;
                }
                (void)transport.isPlaying();
                std::this_thread::yield();
            }
        });
    }
    std::this_thread::sleep_for(150ms);
    done = true;
    for (auto& thread : threads) {
        thread.join();
    }
    transport.stop();
    EXPECT_EQ(strayReadings, 0);

    // Set while stopped, a position is where the next start plays on from.
    transport.setPosition(40.0);
    transport.start(std::nullopt);
    // The first tick may come late on a loaded machine: wait for it rather than a fixed time.
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (transport.position() <= 40.0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    transport.stop();
    EXPECT_GT(transport.position(), 40.0);
    EXPECT_LT(transport.position(), 43.0);
}

TEST(TransportTimer, NothingArrivesAfterTheTransportIsGone) {
    std::atomic<bool> gone{false};
    std::atomic<bool> eventAfterwards{false};
    {
        TransportTimer transport([&](const Event&) { eventAfterwards = eventAfterwards || gone; });
        transport.start(0.0);
        transport.pause();
        transport.resume(0.1); // the delayed resume is pending when it goes
        std::this_thread::sleep_for(20ms);
    }
    gone = true;
    platform::RunLoop::runFor(200ms);
    EXPECT_FALSE(eventAfterwards);
}

} // namespace
} // namespace kvntime
