#include "timecode/VideoFrameRate.h"

#include <gtest/gtest.h>
#include <limits>

namespace timecode {
namespace {

const auto allVideoRates = koltutils::allCases<VideoFrameRate>();

TEST(VideoFrameRate, TableAgreesWithTheTimecodeRates) {
    ASSERT_EQ(allVideoRates.size(), 21u);
    for (const VideoFrameRate videoRate : allVideoRates) {
        SCOPED_TRACE(stringValue(videoRate));
        EXPECT_EQ(isInterlaced(videoRate), stringValue(videoRate).ends_with('i'));
        EXPECT_EQ(rate(videoRate) * frameDuration(videoRate), Fraction(1, 1));
        EXPECT_TRUE(
            frameDurationCMTime(videoRate).isIdentical(frameDuration(videoRate).cmTimeValue()));
        EXPECT_TRUE(rateCMTime(videoRate).isIdentical(rate(videoRate).cmTimeValue()));

        const auto nonDrop = timecodeFrameRate(videoRate, false);
        ASSERT_TRUE(nonDrop);
        EXPECT_TRUE(rate(*nonDrop).isIdentical(rate(videoRate)));
        EXPECT_FALSE(isDrop(*nonDrop));
        EXPECT_EQ(videoFrameRate(*nonDrop, isInterlaced(videoRate)), videoRate);
        if (const auto drop = timecodeFrameRate(videoRate, true)) {
            EXPECT_TRUE(isDrop(*drop));
            EXPECT_EQ(rate(*drop), rate(videoRate));
            EXPECT_EQ(videoFrameRate(*drop, isInterlaced(videoRate)), videoRate);
        }

        EXPECT_EQ(videoFrameRateFromStringValue(stringValue(videoRate)), videoRate);
        EXPECT_EQ(videoFrameRateFromRate(rate(videoRate), isInterlaced(videoRate)), videoRate);
        EXPECT_EQ(videoFrameRateFromFrameDuration(frameDurationCMTime(videoRate),
                                                  isInterlaced(videoRate)),
                  videoRate);
    }
}

TEST(VideoFrameRate, MapsToTimecodeRatesOnlyWhereTheyExist) {
    using V = VideoFrameRate;
    using T = TimecodeFrameRate;
    EXPECT_EQ(timecodeFrameRate(V::fps29_97i, true), T::fps29_97d);
    EXPECT_EQ(timecodeFrameRate(V::fps30p, true), T::fps30d);
    EXPECT_EQ(timecodeFrameRate(V::fps60i, true), std::nullopt);
    EXPECT_EQ(timecodeFrameRate(V::fps120p, true), std::nullopt);
    EXPECT_EQ(videoFrameRate(T::fps24_98, false), std::nullopt);
    EXPECT_EQ(videoFrameRate(T::fps60d, true), std::nullopt);
    EXPECT_EQ(videoFrameRate(T::fps30, true), std::nullopt);
    EXPECT_EQ(alternateFrameDuration(V::fps29_97i), Fraction(1000, 29970));
    EXPECT_EQ(alternateFrameDuration(V::fps25i), std::nullopt);
}

TEST(VideoFrameRate, FindsRatesFromFractionsWithTheScanType) {
    using V = VideoFrameRate;
    EXPECT_EQ(videoFrameRateFromFrameDuration(Fraction(1001, 30000), true), V::fps29_97i);
    EXPECT_EQ(videoFrameRateFromFrameDuration(Fraction(1000, 29970), false), V::fps29_97p);
    EXPECT_EQ(videoFrameRateFromFrameDuration(Fraction(200, 5000), false), V::fps25p);
    EXPECT_EQ(videoFrameRateFromFrameDuration(Fraction(1, 24), true), std::nullopt);
    EXPECT_EQ(videoFrameRateFromRate(CMTime::make(60000, 1001), true), V::fps59_94i);
    EXPECT_EQ(videoFrameRateFromRate(Fraction(24, 1), true), std::nullopt);
}

TEST(VideoFrameRate, FindsRatesFromFramesPerSecond) {
    using V = VideoFrameRate;
    EXPECT_EQ(videoFrameRateFromFps(23.976, false, false), V::fps23_98p);
    EXPECT_EQ(videoFrameRateFromFps(23.976023976, false, false), V::fps23_98p);
    EXPECT_EQ(videoFrameRateFromFps(29.97, false, false), V::fps29_97p);
    EXPECT_EQ(videoFrameRateFromFps(29.97, true, false), V::fps29_97i);
    EXPECT_EQ(videoFrameRateFromFps(59.94, false, false), V::fps59_94p);
    EXPECT_EQ(videoFrameRateFromFps(25, false, false), V::fps25p);
    // Truncation finds nothing for 24.96; rounding to one place gives 25.0.
    EXPECT_EQ(videoFrameRateFromFps(24.96, false, false), V::fps25p);
    // Three places tell 23.976 from 23.98.
    EXPECT_EQ(videoFrameRateFromFps(23.976, false, true), V::fps23_98p);
    EXPECT_EQ(videoFrameRateFromFps(23.98, false, true), std::nullopt);
    EXPECT_EQ(videoFrameRateFromFps(23.98, false, false), V::fps23_98p);
    EXPECT_EQ(videoFrameRateFromFps(std::numeric_limits<double>::quiet_NaN(), false, false),
              std::nullopt);
}

} // namespace
} // namespace timecode
