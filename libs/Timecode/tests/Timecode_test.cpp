#include "timecode/SignedTimecode.h"
#include "timecode/Timecode.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <string>

namespace timecode {
namespace {

using Rate = TimecodeFrameRate;
using Rule = TimecodeValidationRule;
using Base = TimecodeSubFramesBase;
using Limit = TimecodeUpperLimit;
using Kind = TimecodeValidationError::Kind;

const TimecodeStringFormat withSubFrames{TimecodeStringFormatOption::showSubFrames};

std::string labelOfFrame(std::int64_t frames, Rate rate) {
    return Timecode::fromFrames(frames, {rate}).stringValue();
}

std::int64_t frameOfLabel(const std::string& label, Rate rate) {
    return Timecode::fromString(label, {rate}).frameCount().wholeFrames();
}

template <class Operation> void expectValidationError(Kind expected, Operation operation) {
    try {
        operation();
        ADD_FAILURE() << "no TimecodeValidationError thrown";
    } catch (const TimecodeValidationError& error) {
        EXPECT_EQ(error.kind(), expected) << error.what();
    }
}

TEST(Timecode, DropFrameLabelsSkipAtMinutesButNotAtTenMinutes) {
    struct Case {
        Rate rate;
        std::int64_t frames;
        const char* label;
    };
    const Case cases[] = {
        {Rate::fps29_97d, 1799, "00:00:59;29"},       {Rate::fps29_97d, 1800, "00:01:00;02"},
        {Rate::fps29_97d, 3597, "00:01:59;29"},       {Rate::fps29_97d, 3598, "00:02:00;02"},
        {Rate::fps29_97d, 17981, "00:09:59;29"},      {Rate::fps29_97d, 17982, "00:10:00;00"},
        {Rate::fps29_97d, 19781, "00:10:59;29"},      {Rate::fps29_97d, 19782, "00:11:00;02"},
        {Rate::fps29_97d, 107892, "01:00:00;00"},     {Rate::fps29_97d, 2589407, "23:59:59;29"},
        {Rate::fps30d, 1800, "00:01:00;02"},          {Rate::fps59_94d, 3599, "00:00:59;59"},
        {Rate::fps59_94d, 3600, "00:01:00;04"},       {Rate::fps59_94d, 35963, "00:09:59;59"},
        {Rate::fps59_94d, 35964, "00:10:00;00"},      {Rate::fps59_94d, 5178815, "23:59:59;59"},
        {Rate::fps60d, 3600, "00:01:00;04"},          {Rate::fps119_88d, 7199, "00:00:59;119"},
        {Rate::fps119_88d, 7200, "00:01:00;008"},     {Rate::fps119_88d, 71928, "00:10:00;000"},
        {Rate::fps119_88d, 10357631, "23:59:59;119"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(stringValue(c.rate)) + " frame " + std::to_string(c.frames));
        EXPECT_EQ(labelOfFrame(c.frames, c.rate), c.label);
        EXPECT_EQ(frameOfLabel(c.label, c.rate), c.frames);
    }
}

TEST(Timecode, SkippedDropLabelsAreInvalidFrames) {
    struct Case {
        Rate rate;
        const char* label;
        bool valid;
    };
    const Case cases[] = {
        {Rate::fps29_97d, "00:01:00;00", false},  {Rate::fps29_97d, "00:01:00;01", false},
        {Rate::fps29_97d, "00:01:00;02", true},   {Rate::fps29_97d, "00:10:00;00", true},
        {Rate::fps29_97d, "00:01:01;00", true},   {Rate::fps29_97d, "01:00:00;00", true},
        {Rate::fps30d, "00:21:00;01", false},     {Rate::fps59_94d, "00:01:00;03", false},
        {Rate::fps59_94d, "00:01:00;04", true},   {Rate::fps119_88d, "00:01:00;007", false},
        {Rate::fps119_88d, "00:01:00;008", true}, {Rate::fps29_97, "00:01:00:00", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Timecode timecode = Timecode::fromString(c.label, {c.rate}, Rule::allowingInvalid);
        EXPECT_EQ(timecode.isValid(), c.valid);
        if (!c.valid) {
            EXPECT_EQ(timecode.invalidComponents(), std::set{TimecodeComponent::frames});
            expectValidationError(Kind::invalid, [&] { Timecode::fromString(c.label, {c.rate}); });
        }
    }
}

TEST(Timecode, FrameCountsRoundTripOverTheWholeSpanAtEveryRate) {
    for (const Rate rate : koltutils::allCases<Rate>()) {
        SCOPED_TRACE(std::string(stringValue(rate)));
        const std::int64_t span = maxTotalFrames(rate, Limit::max24Hours);
        // A prime stride keeps landing on new offsets within minutes and ten-minute blocks.
        for (std::int64_t frames = 0; frames < span; frames += 997) {
            for (const std::int64_t sample : {frames, span - 1 - frames}) {
                const Timecode timecode = Timecode::fromFrames(sample, {rate});
                ASSERT_TRUE(timecode.isValid()) << sample;
                ASSERT_EQ(timecode.frameCount().wholeFrames(), sample);
                ASSERT_EQ(Timecode::fromString(timecode.stringValue(), {rate}), timecode);
            }
        }
        EXPECT_EQ(labelOfFrame(span - 1, rate).substr(0, 9),
                  "23:59:59" + std::string(isDrop(rate) ? ";" : ":"));
        expectValidationError(Kind::outOfBounds, [&] { Timecode::fromFrames(span, {rate}); });
        expectValidationError(Kind::outOfBounds, [&] { Timecode::fromFrames(-1, {rate}); });
    }
}

TEST(Timecode, EveryDropFrameOfTheFirstHourHasItsOwnValidLabel) {
    std::string previous;
    for (std::int64_t frames = 0; frames < 107892; ++frames) {
        const Timecode timecode = Timecode::fromFrames(frames, {Rate::fps29_97d});
        const std::string label = timecode.stringValue();
        ASSERT_TRUE(timecode.isValid()) << label;
        ASSERT_LT(previous, label);
        previous = label;
    }
}

TEST(Timecode, RealTimeLandsOnTheFrameItFallsIn) {
    struct Case {
        double seconds;
        Rate rate;
        const char* label;
    };
    const Case cases[] = {
        {3600, Rate::fps24, "01:00:00:00.00"},
        // 3600 s is 107892.1 frames at 29.97: 107892 frames are 01:00:00;00 in drop labels.
        {3600, Rate::fps29_97, "00:59:56:12.10"},
        {3600, Rate::fps29_97d, "01:00:00;00.10"},
        {3599.9964, Rate::fps29_97d, "01:00:00;00.00"},
        // Sequence starts of real exports: 8648640000/2400000s and 6918912000/1920000s.
        {8648640000.0 / 2400000.0, Rate::fps29_97, "01:00:00:00.00"},
        {6918912000.0 / 1920000.0, Rate::fps23_976, "01:00:00:00.00"},
        {3590, Rate::fps25, "00:59:50:00.00"},
        {1.5 / 24, Rate::fps24, "00:00:00:01.50"},
        // 1.999995 frames is within the tolerance of frame 2; 1.99998 is not.
        {1.999995 / 24, Rate::fps24, "00:00:00:02.00"},
        {1.99998 / 24, Rate::fps24, "00:00:00:01.99"},
        {86399.99, Rate::fps100, "23:59:59:99.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Timecode::fromRealTime(c.seconds, {c.rate}).stringValue(withSubFrames), c.label);
    }
    EXPECT_NEAR(Timecode::fromString("01:00:00;00", {Rate::fps29_97d}).realTimeValue(), 3599.9964,
                1e-9);
    EXPECT_DOUBLE_EQ(Timecode::fromString("00:00:01:12.50", {Rate::fps24}).realTimeValue(),
                     36.5 / 24);
}

TEST(Timecode, RealTimeOutsideTheSpanHasNoTimecode) {
    const double notNumbers[] = {std::nan(""), std::numeric_limits<double>::infinity(), 1e300};
    for (const double seconds : notNumbers) {
        expectValidationError(Kind::outOfBounds, [&] {
            Timecode::fromRealTime(seconds, {Rate::fps24}, Rule::allowingInvalid);
        });
    }
    expectValidationError(Kind::outOfBounds, [] { Timecode::fromRealTime(86400, {Rate::fps24}); });
    expectValidationError(Kind::outOfBounds, [] { Timecode::fromRealTime(-1, {Rate::fps24}); });

    const TimecodeProperties hundredDays{Rate::fps24, Base::max100SubFrames, Limit::max100Days};
    EXPECT_EQ(Timecode::fromRealTime(86400, hundredDays).stringValue(), "1 00:00:00:00");
    EXPECT_EQ(Timecode::fromRealTime(8640000 - 1.0 / 24, hundredDays).stringValue(),
              "99 23:59:59:23");
    expectValidationError(Kind::outOfBounds, [&] { Timecode::fromRealTime(8640000, hundredDays); });
}

TEST(Timecode, RationalTimeConvertsExactlyBothWays) {
    const TimecodeProperties at23976{Rate::fps23_976};
    EXPECT_EQ(Timecode::fromRational(Fraction(1001, 24000), at23976).stringValue(), "00:00:00:01");
    EXPECT_EQ(Timecode::fromRational(Fraction(2002, 48000), at23976).stringValue(), "00:00:00:01");
    EXPECT_EQ(
        Timecode::fromRational(Fraction(1001 * 3, 24000 * 2), at23976).stringValue(withSubFrames),
        "00:00:00:01.50");
    EXPECT_EQ(Timecode::fromCMTime(CMTime::make(3600 * 30000, 30000), {Rate::fps24}).stringValue(),
              "01:00:00:00");
    expectValidationError(Kind::outOfBounds,
                          [] { Timecode::fromRational(Fraction(1, 0), {Rate::fps24}); });
    expectValidationError(Kind::outOfBounds,
                          [] { Timecode::fromCMTime(CMTime::indefinite, {Rate::fps24}); });

    const Timecode dropHour = Timecode::fromString("01:00:00;00", {Rate::fps29_97d});
    EXPECT_TRUE(dropHour.rationalValue().isIdentical(Fraction(8999991, 2500))); // 107892 frames
    EXPECT_EQ(dropHour.cmTimeValue(), CMTime::make(107892 * 1001, 30000));
    const Timecode quarter = Timecode::fromString(
        "00:00:00:01.3", {Rate::fps24, Base::quarterFrames, Limit::max24Hours});
    EXPECT_TRUE(quarter.rationalValue().isIdentical(Fraction(7, 96)));
    EXPECT_EQ(Timecode::fromRational(quarter.rationalValue(), quarter.properties), quarter);

    EXPECT_TRUE(Timecode::fromFrames(1, at23976).cmTime().isIdentical(CMTime::make(1001, 24000)));
    EXPECT_EQ(Timecode::fromString("01:00:00:00", {Rate::fps24}).samplesValue(48000), 172800000);
    EXPECT_EQ(Timecode::fromString("01:00:00:00", {Rate::fps24}).samplesValue(1e300), 0);
}

TEST(Timecode, RulesRepairOrKeepWhatIsOutOfRange) {
    const TimecodeProperties at24{Rate::fps24};
    EXPECT_EQ(Timecode::fromFrames(-1, at24, Rule::wrapping).stringValue(), "23:59:59:23");
    EXPECT_EQ(Timecode::fromRealTime(86400, at24, Rule::wrapping).stringValue(), "00:00:00:00");
    EXPECT_EQ(Timecode::fromRealTime(25 * 3600, at24, Rule::wrapping).stringValue(), "01:00:00:00");
    EXPECT_EQ(Timecode::fromFrames(-1, {Rate::fps29_97d}, Rule::wrapping).stringValue(),
              "23:59:59;29");
    EXPECT_EQ(
        Timecode::fromComponents({.hours = 24, .frames = 5}, at24, Rule::wrapping).stringValue(),
        "00:00:00:05");

    const Timecode kept = Timecode::fromRealTime(86400, at24, Rule::allowingInvalid);
    EXPECT_EQ(kept.stringValue(), "1 00:00:00:00");
    EXPECT_EQ(kept.invalidComponents(), std::set{TimecodeComponent::days});
    const Timecode garbage = Timecode::fromComponents(
        {.hours = 25, .seconds = 61, .subFrames = 100}, at24, Rule::allowingInvalid);
    EXPECT_EQ(garbage.components,
              (TimecodeComponents{.hours = 25, .seconds = 61, .subFrames = 100}));
    EXPECT_EQ(garbage.invalidComponents(),
              (std::set{TimecodeComponent::hours, TimecodeComponent::seconds,
                        TimecodeComponent::subFrames}));
    expectValidationError(Kind::invalid, [&] { Timecode::fromComponents({.hours = 25}, at24); });

    EXPECT_EQ(Timecode::fromFrames(-5, at24, Rule::clamping), Timecode::zero(at24));
    EXPECT_EQ(Timecode::fromRealTime(30 * 3600, at24, Rule::clamping).stringValue(withSubFrames),
              "23:59:59:23.99");
    EXPECT_EQ(
        Timecode::fromComponents({.minutes = 75, .frames = -3}, at24, Rule::clampingComponents)
            .stringValue(),
        "00:59:00:00");
    EXPECT_EQ(Timecode::fromString("00:01:00;00", {Rate::fps29_97d}, Rule::clampingComponents)
                  .stringValue(),
              "00:01:00;02");
}

TEST(Timecode, ArithmeticAndOrderAtOneFrameRate) {
    const TimecodeProperties at24{Rate::fps24};
    const Timecode almostHour = Timecode::fromString("00:59:59:23", at24);
    const Timecode oneFrame = Timecode::fromFrames(1, at24);
    EXPECT_EQ(almostHour.adding(oneFrame).stringValue(), "01:00:00:00");
    EXPECT_EQ(almostHour.adding(TimecodeFrameCount::split(0, 50, Base::max100SubFrames))
                  .stringValue(withSubFrames),
              "00:59:59:23.50");
    EXPECT_EQ(oneFrame.subtracting(TimecodeFrameCount::frames(1, Base::max100SubFrames)),
              Timecode::zero(at24));
    expectValidationError(Kind::outOfBounds, [&] { oneFrame.subtracting(almostHour); });
    EXPECT_EQ((oneFrame - almostHour).stringValue(), "23:00:00:02");
    EXPECT_EQ((Timecode::fromString("23:59:59:23", at24) + oneFrame), Timecode::zero(at24));
    EXPECT_THROW(oneFrame.adding(Timecode::fromFrames(1, {Rate::fps25})), std::invalid_argument);

    const Timecode halfFrame = Timecode::fromFrameCount(
        TimecodeFrameCount::split(0, 2, Base::quarterFrames), {Rate::fps24, Base::quarterFrames});
    EXPECT_LT(Timecode::zero(at24), halfFrame);
    EXPECT_LT(halfFrame, oneFrame);
    EXPECT_TRUE((Timecode::fromString("00:00:00:00.50", at24) <=> halfFrame) == 0);
    EXPECT_EQ(oneFrame <=> Timecode::fromFrames(1, {Rate::fps25}),
              std::partial_ordering::unordered);
}

TEST(Timecode, RoundingMovesSubFramesToTheNextFrame) {
    const TimecodeProperties at24{Rate::fps24};
    const Timecode withSub = Timecode::fromString("00:00:00:05.01", at24);
    EXPECT_EQ(withSub.roundedValue().stringValue(withSubFrames), "00:00:00:06.00");
    const Timecode whole = Timecode::fromString("00:00:00:05", at24);
    EXPECT_EQ(whole.roundedValue(), whole);

    Timecode rounded = withSub;
    rounded.roundUpToNextFrame();
    EXPECT_EQ(rounded, Timecode::fromString("00:00:00:06", at24));

    Timecode last = Timecode::fromString("23:59:59:23.50", at24);
    EXPECT_EQ(last.roundedValue(), Timecode::zero(at24));
    expectValidationError(Kind::outOfBounds, [&] { last.roundUpToNextFrame(); });
    EXPECT_EQ(last.stringValue(withSubFrames), "23:59:59:23.50");
}

// Components straight from hostile text reach every conversion; under the sanitizers this pins
// that none of them overflows on the way.
TEST(Timecode, ExtremeComponentsThrowOrRepairButNeverOverflow) {
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
    const TimecodeComponents extremes[] = {
        {most, most, most, most, most, most},
        {least, least, least, least, least, least},
        {.hours = most, .frames = least},
        {.days = 99, .hours = 23, .minutes = 59, .seconds = 59, .frames = 119, .subFrames = 99},
    };
    const TimecodeProperties properties[] = {
        {Rate::fps29_97d},
        {Rate::fps119_88d, Base::quarterFrames, Limit::max100Days},
    };
    for (const TimecodeProperties& props : properties) {
        const std::int64_t span = maxTotalFrames(props.frameRate, props.upperLimit);
        for (const TimecodeComponents& components : extremes) {
            for (const Rule rule : {Rule::wrapping, Rule::clamping, Rule::clampingComponents}) {
                const Timecode repaired = Timecode::fromComponents(components, props, rule);
                EXPECT_TRUE(repaired.isValid()) << repaired.stringValue();
                EXPECT_LT(repaired.frameCount().wholeFrames(), span);
            }
            const Timecode kept =
                Timecode::fromComponents(components, props, Rule::allowingInvalid);
            const auto ignoringOutOfBounds = [](auto conversion) {
                try {
                    conversion();
                } catch (const TimecodeValidationError& error) {
                    EXPECT_EQ(error.kind(), Kind::outOfBounds);
                }
            };
            ignoringOutOfBounds([&] { kept.frameCount(); });
            ignoringOutOfBounds([&] { kept.rationalValue(); });
            ignoringOutOfBounds([&] { kept.roundedValue(); });
            ignoringOutOfBounds([&] { kept.adding(kept, Rule::allowingInvalid); });
            ignoringOutOfBounds([&] { kept.subtracting(kept, Rule::wrapping); });
            EXPECT_FALSE(kept.stringValue(withSubFrames).empty());
            (void)kept.samplesValue(48000);
            (void)kept.cmTime();
            (void)(kept <=> Timecode::zero(props));
        }
    }
}

TEST(SignedTimecode, MinusOnlyBeforeANonZeroTimecode) {
    const Timecode second = Timecode::fromString("00:00:01;00", {Rate::fps29_97d});
    EXPECT_EQ((SignedTimecode{second, SignedTimecode::Sign::minus}).stringValue(), "-00:00:01;00");
    EXPECT_EQ((SignedTimecode{second, SignedTimecode::Sign::plus}).stringValue(), "00:00:01;00");
    EXPECT_EQ((SignedTimecode{second.zero(), SignedTimecode::Sign::minus}).stringValue(),
              "00:00:00;00");
}

} // namespace
} // namespace timecode
