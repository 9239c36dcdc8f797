#include <gtest/gtest.h>
#include <kvntime/TimeFormatter.h>
#include <limits>

namespace kvntime {
namespace {

using Hours = RealTimeDomain::HoursFormat;
using timecode::Timecode;
using timecode::TimecodeFrameRate;

TEST(RealTimeDomain, DisplayStringsInTheThreeHoursFormats) {
    EXPECT_EQ(RealTimeDomain::string(3725.5, Hours::enable, true), "1:02:05.500");
    EXPECT_EQ(RealTimeDomain::string(3725.5, Hours::automatic, false), "1:02:05");
    EXPECT_EQ(RealTimeDomain::string(3725.5, Hours::disable, false), "62:05");
    EXPECT_EQ(RealTimeDomain::string(5, Hours::automatic, false), "00:05");
    EXPECT_EQ(RealTimeDomain::string(5, Hours::enable, false), "0:00:05");
    EXPECT_EQ(RealTimeDomain::string(-5, Hours::automatic, false), "-00:05");
    EXPECT_EQ(RealTimeDomain::string(59.999, Hours::automatic, true), "00:59.999");
    EXPECT_EQ(RealTimeDomain::string(36000, Hours::automatic, false), "10:00:00");
    EXPECT_EQ(
        RealTimeDomain::string(std::numeric_limits<double>::quiet_NaN(), Hours::automatic, true),
        "00:00.000");

    const RealTimeDomain domain{60};
    EXPECT_EQ(domain.string(Hours::disable, false, 1.5), "01:01");

    const RealTimeDomain::DisplayString display(65.25);
    EXPECT_EQ(display.string(80, 60), "01:05.250");
    EXPECT_EQ(display.string(40, 60), "01:05");
}

TEST(RealTimeDomain, ReadsTypedTimes) {
    EXPECT_EQ(RealTimeDomain::parse("12.5"), 12.5);
    EXPECT_EQ(RealTimeDomain::parse(" 2 : 03.5"), 123.5);
    EXPECT_EQ(RealTimeDomain::parse("1:02:05.5"), 3725.5);
    EXPECT_EQ(RealTimeDomain::parse("-1:00"), -60);
    EXPECT_EQ(RealTimeDomain::parse("x:30"), 30);
    EXPECT_EQ(RealTimeDomain::parse("1:2:3:4"), 0);
    EXPECT_EQ(RealTimeDomain::parse(""), 0);
}

TEST(TimecodeDomain, FormsTimecodesAtItsProperties) {
    TimecodeDomain domain;
    EXPECT_EQ(domain.properties.frameRate, TimecodeFrameRate::fps24);
    EXPECT_EQ(domain.formNewTimecodeWrappingRealTimeSeconds(3600.5).stringValue(), "01:00:00:12");
    // Past 24 hours the position starts over.
    EXPECT_EQ(domain.formNewTimecodeWrappingRealTimeSeconds(86400 + 1).stringValue(),
              "00:00:01:00");

    domain.startTimecode = domain.formNewTimecode("01:00:00:00");
    const auto before = domain.formNewSignedTimecode(-3601, true);
    EXPECT_EQ(before.stringValue(), "-00:00:01:00");
    EXPECT_EQ(domain.formNewSignedTimecode(-1, false).stringValue(), "-00:00:01:00");
    EXPECT_EQ(domain.formNewSignedTimecode(2, true).stringValue(), "01:00:02:00");

    const Timecode at25 = Timecode::fromString("00:00:01:20", {TimecodeFrameRate::fps25});
    EXPECT_EQ(
        domain.formNewTimecodePreservingValuesFrom(at25, timecode::TimecodeValidationRule::wrapping)
            .stringValue(),
        "00:00:01:20");
    EXPECT_EQ(domain.formNewTimecodeConvertingFrom(at25, timecode::TimecodeValidationRule::wrapping)
                  .stringValue(),
              "00:00:01:19");
}

TEST(TimecodeDomain, DefaultFrameRateIsSettable) {
    TimecodeDomain::setDefaultFrameRate(TimecodeFrameRate::fps25);
    const TimeFormatter formatter;
    TimecodeDomain::setDefaultFrameRate(TimecodeFrameRate::fps24);
    EXPECT_EQ(formatter.timecode.properties.frameRate, TimecodeFrameRate::fps25);
    EXPECT_EQ(TimeFormatter().timecode.properties.frameRate, TimecodeFrameRate::fps24);
}

TEST(TimeFormatter, KeepsTimecodeAndSecondsInStep) {
    TimeFormatter formatter(TimeDomain::timecode);
    EXPECT_EQ(formatter.primaryString(), "00:00:00:00");
    formatter.updatePosition(-3);
    EXPECT_EQ(formatter.realTime.masterSeconds, 0);

    formatter.updateStart(3600.0);
    formatter.updatePosition(3610.5);
    EXPECT_EQ(formatter.primaryString(), "01:00:10:12");
    EXPECT_DOUBLE_EQ(formatter.realTime.masterSeconds, 10.5);
    EXPECT_EQ(formatter.primaryString(-2), "00:59:58:00");

    formatter.updateElapsedTime(20);
    EXPECT_EQ(formatter.primaryString(), "01:00:20:00");

    formatter.timecode.showSubFrames = true;
    EXPECT_EQ(formatter.primaryString(), "01:00:20:00.00");

    formatter.primaryDomain = TimeDomain::realTime;
    EXPECT_EQ(formatter.primaryString(), "00:20");
    formatter.primaryDomain = TimeDomain::musical;
    EXPECT_EQ(formatter.primaryString(2.125), "1802 1 2"); // 3602.125 s from zero
}

TEST(TimeFormatter, FrameRateChangeKeepsValuesWhenTheyFit) {
    TimeFormatter formatter;
    formatter.updatePosition(Timecode::fromString("00:00:10:20", {TimecodeFrameRate::fps24}));
    formatter.updateFrameRate(TimecodeFrameRate::fps25, true);
    EXPECT_EQ(formatter.primaryString(), "00:00:10:20");
    EXPECT_DOUBLE_EQ(formatter.realTime.masterSeconds, 10.8);

    formatter.updateFrameRate(TimecodeFrameRate::fps24, false);
    EXPECT_EQ(formatter.primaryString(), "00:00:10:19");

    formatter.updatePosition(Timecode::fromString("00:00:10:29", {TimecodeFrameRate::fps30}));
    EXPECT_EQ(formatter.primaryString(), "00:00:10:23");
}

} // namespace
} // namespace kvntime
