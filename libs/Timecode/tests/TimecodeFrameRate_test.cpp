#include "timecode/TimecodeFrameRate.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace timecode {
namespace {

const auto allRates = koltutils::allCases<TimecodeFrameRate>();

std::string withoutDropSuffix(std::string_view text) {
    return std::string(text.ends_with('d') ? text.substr(0, text.size() - 1) : text);
}

// The table is checked against the rules its columns follow rather than restated.
TEST(TimecodeFrameRate, TableFollowsTheRulesBehindItsColumns) {
    ASSERT_EQ(allRates.size(), 23u);
    for (const TimecodeFrameRate frameRate : allRates) {
        SCOPED_TRACE(stringValue(frameRate));
        const std::string nominal = withoutDropSuffix(stringValue(frameRate));
        const bool drop = isDrop(frameRate);
        EXPECT_EQ(drop, stringValue(frameRate).ends_with('d'));
        EXPECT_EQ(stringValueVerbose(frameRate), nominal + " fps" + (drop ? " drop" : ""));

        const Fraction exactRate = rate(frameRate);
        const bool ntsc = exactRate.denominator() == 1001;
        EXPECT_EQ(exactRate * frameDuration(frameRate), Fraction(1, 1));
        // FCPXML's unreduced durations: 1001/30000 for NTSC rates, 100/2400 for whole ones.
        EXPECT_TRUE(frameDuration(frameRate).isIdentical(
            ntsc ? Fraction(1001, exactRate.numerator())
                 : Fraction(100, 100 * exactRate.numerator())));
        EXPECT_TRUE(
            frameDurationCMTime(frameRate).isIdentical(frameDuration(frameRate).cmTimeValue()));
        EXPECT_TRUE(rateCMTime(frameRate).isIdentical(exactRate.cmTimeValue()));

        const std::int64_t labels = maxFrames(frameRate);
        EXPECT_EQ(labels, ntsc ? exactRate.numerator() / 1000 : exactRate.numerator());
        EXPECT_EQ(maxFrameNumberDisplayable(frameRate), labels - 1);
        EXPECT_EQ(numberOfDigits(frameRate), labels - 1 > 99 ? 3 : 2);
        EXPECT_EQ(framesDroppedPerMinute(frameRate), drop ? labels / 15 : 0);
        EXPECT_DOUBLE_EQ(frameRateForElapsedFramesCalculation(frameRate),
                         drop ? static_cast<double>(labels) * 0.999 : static_cast<double>(labels));
        // A day has 1440 minutes, 144 of them multiples of ten that keep their labels.
        EXPECT_EQ(maxTotalFrames(frameRate, TimecodeUpperLimit::max24Hours),
                  labels * 86400 - framesDroppedPerMinute(frameRate) * (1440 - 144));
        EXPECT_DOUBLE_EQ(
            frameRateForRealTimeCalculation(frameRate) * frameDurationInSeconds(frameRate), 1.0);

        const auto alternate = alternateFrameDuration(frameRate);
        ASSERT_EQ(alternate.has_value(), ntsc);
        if (alternate) {
            EXPECT_EQ(alternate->numerator(), 1000);
            EXPECT_EQ(alternate->denominator(), std::llround(std::stod(nominal) * 1000));
        }
    }
}

TEST(TimecodeFrameRate, DerivedFormsAndLimits) {
    EXPECT_EQ(fcpXMLMetadata(TimecodeFrameRate::fps29_97d),
              (FCPXMLFrameRateMetadata{"1001/30000s", "DF"}));
    EXPECT_EQ(fcpXMLMetadata(TimecodeFrameRate::fps24),
              (FCPXMLFrameRateMetadata{"100/2400s", "NDF"}));
    EXPECT_EQ(aafMetadata(TimecodeFrameRate::fps29_97d),
              (AAFFrameRateMetadata{"30000/1001", "true", 30}));

    // 30d counts labels like 29.97d although its frames last exactly 1/30 s.
    EXPECT_EQ(maxTotalFrames(TimecodeFrameRate::fps30d, TimecodeUpperLimit::max24Hours), 2589408);
    EXPECT_EQ(frameDuration(TimecodeFrameRate::fps30d), Fraction(1, 30));
    EXPECT_EQ(maxTotalFrames(TimecodeFrameRate::fps24, TimecodeUpperLimit::max100Days), 207360000);
    EXPECT_EQ(maxTotalSubFrames(TimecodeFrameRate::fps24, TimecodeUpperLimit::max24Hours,
                                TimecodeSubFramesBase::max80SubFrames),
              2073600 * 80);

    using R = TimecodeFrameRate;
    const std::vector<R> drops(allDropTimecodeFrameRates.begin(), allDropTimecodeFrameRates.end());
    EXPECT_EQ(drops, (std::vector<R>{R::fps29_97d, R::fps30d, R::fps59_94d, R::fps60d,
                                     R::fps119_88d, R::fps120d}));
    EXPECT_EQ(allNonDropTimecodeFrameRates.size(), 17u);
}

TEST(TimecodeFrameRate, FindsEachRateFromItsFrameDurationAndDropFlag) {
    for (const TimecodeFrameRate frameRate : allRates) {
        const bool drop = isDrop(frameRate);
        EXPECT_EQ(timecodeFrameRateFromFrameDuration(frameDuration(frameRate), drop), frameRate);
        EXPECT_EQ(timecodeFrameRateFromFrameDuration(frameDuration(frameRate).reduced(), drop),
                  frameRate);
        EXPECT_EQ(timecodeFrameRateFromFrameDuration(frameDurationCMTime(frameRate), drop),
                  frameRate);
        EXPECT_EQ(timecodeFrameRateFromRate(rate(frameRate), drop), frameRate);
        EXPECT_EQ(timecodeFrameRateFromRate(rateCMTime(frameRate), drop), frameRate);
        if (const auto alternate = alternateFrameDuration(frameRate)) {
            EXPECT_EQ(timecodeFrameRateFromFrameDuration(*alternate, drop), frameRate);
        }
    }
    using R = TimecodeFrameRate;
    EXPECT_EQ(timecodeFrameRateFromFrameDuration(Fraction(2002, 48000), false), R::fps23_976);
    EXPECT_EQ(timecodeFrameRateFromFrameDuration(Fraction(1, 24), false), R::fps24);
    EXPECT_EQ(timecodeFrameRateFromFrameDuration(Fraction(1000, 29970), true), R::fps29_97d);
    EXPECT_EQ(timecodeFrameRateFromFrameDuration(Fraction(100, 3000), true), R::fps30d);
    EXPECT_EQ(timecodeFrameRateFromFrameDuration(Fraction(100, 2400), true), std::nullopt);
    EXPECT_EQ(timecodeFrameRateFromFrameDuration(Fraction(1001, 24000), true), std::nullopt);
    EXPECT_EQ(timecodeFrameRateFromFrameDuration(Fraction(1, 23), false), std::nullopt);
    EXPECT_EQ(timecodeFrameRateFromFrameDuration(CMTime::invalid, false), std::nullopt);
    EXPECT_EQ(timecodeFrameRateFromRate(Fraction(30000, 1001), true), R::fps29_97d);
    EXPECT_EQ(timecodeFrameRateFromRate(Fraction(1001, 30000), false), std::nullopt);
}

TEST(TimecodeFrameRate, FindsRatesByTheirNames) {
    for (const TimecodeFrameRate frameRate : allRates) {
        EXPECT_EQ(timecodeFrameRateFromStringValue(stringValue(frameRate)), frameRate);
        EXPECT_EQ(timecodeFrameRateFromBackwardsCompatibleStringValue(stringValue(frameRate)),
                  frameRate);
    }
    for (const char* text : {"", "29.97D", " 24", "24 fps", "fps24", "_24"}) {
        EXPECT_EQ(timecodeFrameRateFromStringValue(text), std::nullopt) << text;
    }

    using R = TimecodeFrameRate;
    EXPECT_EQ(timecodeFrameRateFromLegacyStringValue("_23_976"), R::fps23_976);
    EXPECT_EQ(timecodeFrameRateFromLegacyStringValue("_29_97_drop"), R::fps29_97d);
    EXPECT_EQ(timecodeFrameRateFromLegacyStringValue("_120_drop"), R::fps120d);
    EXPECT_EQ(timecodeFrameRateFromLegacyStringValue("_100"), R::fps100);
    EXPECT_EQ(timecodeFrameRateFromLegacyStringValue("_90"), std::nullopt);
    EXPECT_EQ(timecodeFrameRateFromLegacyStringValue(""), std::nullopt);
    EXPECT_EQ(timecodeFrameRateFromLegacyStringValue("29.97"), std::nullopt);
    EXPECT_EQ(timecodeFrameRateFromBackwardsCompatibleStringValue("_59_94_drop"), R::fps59_94d);
    EXPECT_EQ(timecodeFrameRateFromBackwardsCompatibleStringValue("90"), R::fps90);
    EXPECT_EQ(timecodeFrameRateFromBackwardsCompatibleStringValue("fps90"), std::nullopt);
}

TEST(TimecodeFrameRate, FindsNonDropRatesFromFramesPerSecond) {
    using R = TimecodeFrameRate;
    EXPECT_EQ(timecodeFrameRateFromFps(23.976f, false), R::fps23_976);
    EXPECT_EQ(timecodeFrameRateFromFps(23.976023976f, false), R::fps23_976);
    EXPECT_EQ(timecodeFrameRateFromFps(29.97f, true), R::fps29_97);
    EXPECT_EQ(timecodeFrameRateFromFps(59.94f, false), R::fps59_94);
    EXPECT_EQ(timecodeFrameRateFromFps(25.0f, true), R::fps25);
    // No interlaced 30: truncation finds nothing, rounding to 30.0 finds 29.97i.
    EXPECT_EQ(timecodeFrameRateFromFps(30.0f, true), R::fps29_97);
    EXPECT_EQ(timecodeFrameRateFromFps(24.98f, false), R::fps25);
    EXPECT_EQ(timecodeFrameRateFromFps(1000.0f, false), std::nullopt);
}

} // namespace
} // namespace timecode
