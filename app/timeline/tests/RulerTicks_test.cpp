#include "timeline/RulerTicks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ostream>
#include <timecode/Timecode.h>

namespace velotrack::timeline {
void PrintTo(const RulerTick& tick, std::ostream* out) {
    *out << tick.at << " " << tick.label;
}
} // namespace velotrack::timeline

namespace {

using timecode::CMTime;
using timecode::Timecode;
using timecode::TimecodeFrameRate;
using velotrack::timeline::RulerTick;
using velotrack::timeline::rulerTicks;

std::vector<std::string> labelsOf(const std::vector<RulerTick>& ticks) {
    std::vector<std::string> labels;
    for (const RulerTick& tick : ticks) {
        labels.push_back(tick.label);
    }
    return labels;
}

CMTime timeOf(std::string_view text, TimecodeFrameRate rate) {
    return Timecode::fromString(text, Timecode::Properties(rate)).cmTimeValue();
}

// A timecode second lasts 1.001 s at 29.97; marks on real seconds read ...;29 and drift a frame
// every 33 s. Drop-frame minutes not divisible by ten begin at frame 2.
TEST(RulerTicks, FallOnTimecodeSecondsAtDropFrame) {
    const auto rate = TimecodeFrameRate::fps29_97d;
    const auto ticks = rulerTicks(timeOf("01:00:00;00", rate), 75, 10, rate);
    EXPECT_THAT(labelsOf(ticks),
                testing::ElementsAre("01:00:00;00", "01:00:10;00", "01:00:20;00", "01:00:30;00",
                                     "01:00:40;00", "01:00:50;00", "01:01:00;02", "01:01:10;00"));
    ASSERT_EQ(ticks.size(), 8u);
    EXPECT_DOUBLE_EQ(ticks[1].at, 300 * 1001 / 30000.0);
    // 01:01:00;02 is the 1800th frame after the hour; 01:01:10;00 298 frames later.
    EXPECT_DOUBLE_EQ(ticks[6].at, 1800 * 1001 / 30000.0);
    EXPECT_DOUBLE_EQ(ticks[7].at, 2098 * 1001 / 30000.0);
}

TEST(RulerTicks, StartBetweenSecondsBeginsAtTheNextMultipleOfTheInterval) {
    const auto rate = TimecodeFrameRate::fps25;
    const auto ticks = rulerTicks(CMTime::make(21, 2), 25, 10, rate);
    EXPECT_EQ(ticks, (std::vector<RulerTick>{{9.5, "00:00:20:00"}, {19.5, "00:00:30:00"}}));
}

TEST(RulerTicks, WithoutARateOrPastTheDayOnWholeSecondsFromTheStart) {
    EXPECT_EQ(rulerTicks(CMTime::make(1, 2), 20, 10, std::nullopt),
              (std::vector<RulerTick>{{0, "0.5s"}, {10, "10.5s"}, {20, "20.5s"}}));

    const auto rate = TimecodeFrameRate::fps25;
    const auto ticks = rulerTicks(timeOf("23:59:50:00", rate), 20, 10, rate);
    EXPECT_EQ(ticks,
              (std::vector<RulerTick>{{0, "23:59:50:00"}, {10, "86400.0s"}, {20, "86410.0s"}}));
}

} // namespace
