#include "timecode/CMTime.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace timecode {
namespace {

constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();

CMTime withEpoch(CMTime time, std::int64_t epoch) {
    time.epoch = epoch;
    return time;
}

void expectFields(const CMTime& time, std::int64_t value, std::int32_t timescale,
                  bool rounded = false) {
    EXPECT_TRUE(time.isNumeric()) << time;
    EXPECT_EQ(time.value, value) << time;
    EXPECT_EQ(time.timescale, timescale) << time;
    EXPECT_EQ(time.hasBeenRounded(), rounded) << time;
}

TEST(CMTime, ValidityNeedsTheFlagAndAPositiveTimescale) {
    EXPECT_TRUE(CMTime::zero.isNumeric());
    EXPECT_FALSE(CMTime{}.isValid());
    EXPECT_FALSE(CMTime::make(1, 0).isValid());
    EXPECT_FALSE(CMTime::make(1, -30).isValid());
    EXPECT_TRUE(CMTime::positiveInfinity.isValid());
    EXPECT_TRUE(CMTime::positiveInfinity.isPositiveInfinity());
    EXPECT_FALSE(CMTime::positiveInfinity.isNumeric());
    EXPECT_TRUE(CMTime::indefinite.isIndefinite());
    // Without the valid flag the other flags mean nothing.
    EXPECT_FALSE((CMTime{0, 0, CMTimeFlags::positiveInfinity, 0}).isPositiveInfinity());
}

TEST(CMTime, ComparesExactlyAcrossTimescales) {
    const std::hash<CMTime> hash;
    EXPECT_EQ(CMTime::make(1, 2), CMTime::make(2, 4));
    EXPECT_EQ(hash(CMTime::make(1, 2)), hash(CMTime::make(2, 4)));
    EXPECT_EQ(CMTime::make(1001, 24000), CMTime::make(2002, 48000));
    EXPECT_EQ(CMTime::zero, CMTime::make(0, 600));
    EXPECT_EQ(hash(CMTime::zero), hash(CMTime::make(0, 600)));
    EXPECT_EQ(hash(CMTime::make(-3, 6)), hash(CMTime::make(-1, 2)));
    EXPECT_NE(CMTime::make(-1, 2), CMTime::make(1, 2));
    EXPECT_LT(CMTime::make(1001, 24000), CMTime::make(1, 23));
    EXPECT_GT(CMTime::make(3600, 30), CMTime::make(119, 1));
    // Products beyond 64 bits: doubles could not tell these apart.
    EXPECT_GT(CMTime::make(int64Max, 2), CMTime::make(int64Max / 2, 1));
    EXPECT_LT(CMTime::make(int64Max - 1, 999'999'999), CMTime::make(int64Max, 999'999'999));
    // Later epochs come after earlier ones whatever the value.
    EXPECT_GT(withEpoch(CMTime::zero, 1), CMTime::make(100, 1));
    EXPECT_NE(withEpoch(CMTime::zero, 1), CMTime::zero);
}

TEST(CMTime, OrdersNonNumericTimesLikeCoreMedia) {
    const std::vector<CMTime> ascending{CMTime::negativeInfinity, CMTime::make(-5, 1),
                                        CMTime::make(5, 1),       CMTime::indefinite,
                                        CMTime::positiveInfinity, CMTime::invalid};
    for (std::size_t lower = 0; lower < ascending.size(); ++lower) {
        for (std::size_t higher = lower + 1; higher < ascending.size(); ++higher) {
            EXPECT_LT(ascending[lower], ascending[higher]) << lower << " vs " << higher;
        }
    }
    // Every unusable time is the same invalid time, whatever its fields.
    const std::hash<CMTime> hash;
    EXPECT_EQ(CMTime::make(1, 0), CMTime::invalid);
    EXPECT_EQ(hash(CMTime::make(1, 0)), hash(CMTime::invalid));
    EXPECT_EQ((CMTime{7, 30, CMTimeFlags::none, 0}), CMTime::invalid);
    EXPECT_EQ(CMTime::indefinite, CMTime::indefinite);
}

TEST(CMTime, AddsOverTheLeastCommonMultipleOfTheTimescales) {
    expectFields(CMTime::make(1, 2) + CMTime::make(1, 3), 5, 6);
    expectFields(CMTime::make(1, 2) - CMTime::make(1, 3), 1, 6);
    expectFields(CMTime::make(3, 600) + CMTime::make(5, 600), 8, 600);
    expectFields(CMTime::make(1001, 24000) + CMTime::make(1, 23), 1001 * 23 + 24000, 552000);
    expectFields(CMTime::make(3600, 1) - CMTime::make(1001, 30000), 3600 * 30000 - 1001, 30000);
    CMTime sum = CMTime::make(1, 4);
    sum += CMTime::make(1, 4);
    sum -= CMTime::make(1, 8);
    expectFields(sum, 3, 8);
}

TEST(CMTime, RoundsWhenTheTimescaleOrTheValueDoesNotFit) {
    // Two prime timescales: their multiple exceeds the largest chosen timescale.
    expectFields(CMTime::make(1, 999'999'937) + CMTime::make(1, 999'999'929), 2, 1'000'000'000,
                 true);
    // The value overflows at timescale 2, fits exactly at 1.
    expectFields(CMTime::make(int64Max, 2) + CMTime::make(int64Max, 2), int64Max, 1);
    // ... and here only after rounding.
    expectFields(CMTime::make(int64Max, 3) + CMTime::make(int64Max, 3), 6148914691236517205, 1,
                 true);
    EXPECT_TRUE((CMTime::make(int64Max, 1) + CMTime::make(1, 1)).isPositiveInfinity());
    EXPECT_TRUE((CMTime::make(int64Min, 1) - CMTime::make(1, 1)).isNegativeInfinity());
    // A rounded operand marks the result.
    CMTime rounded = CMTime::make(1, 3);
    rounded.flags = rounded.flags | CMTimeFlags::hasBeenRounded;
    expectFields(rounded + CMTime::make(1, 3), 2, 3, true);
}

TEST(CMTime, NonNumericOperandsFollowCoreMediaRules) {
    const CMTime one = CMTime::make(1, 1);
    EXPECT_FALSE((CMTime::invalid + one).isValid());
    EXPECT_FALSE((CMTime::make(1, 0) + one).isValid());
    EXPECT_FALSE((one - CMTime::make(5, -1)).isValid());
    EXPECT_TRUE((CMTime::positiveInfinity + one).isPositiveInfinity());
    EXPECT_TRUE((one - CMTime::positiveInfinity).isNegativeInfinity());
    EXPECT_TRUE((CMTime::negativeInfinity - CMTime::positiveInfinity).isNegativeInfinity());
    EXPECT_FALSE((CMTime::positiveInfinity + CMTime::negativeInfinity).isValid());
    EXPECT_FALSE((CMTime::positiveInfinity - CMTime::positiveInfinity).isValid());
    EXPECT_TRUE((CMTime::indefinite + one).isIndefinite());
    EXPECT_TRUE((CMTime::indefinite + CMTime::positiveInfinity).isPositiveInfinity());
    // Epoch 0 is a duration; two different epochs cannot be combined.
    EXPECT_EQ((withEpoch(one, 3) + one).epoch, 3);
    EXPECT_EQ((one + withEpoch(one, 3)).epoch, 3);
    EXPECT_EQ((withEpoch(one, 3) - withEpoch(one, 3)).epoch, 0);
    EXPECT_FALSE((withEpoch(one, 3) + withEpoch(one, 4)).isValid());
    EXPECT_FALSE((one - withEpoch(one, 4)).isValid());
}

TEST(CMTime, FromSecondsRoundsToThePreferredTimescale) {
    expectFields(CMTime::fromSeconds(0.5, 600), 300, 600);
    expectFields(CMTime::fromSeconds(1.0 / 3.0, 600), 200, 600); // reads back as the same double
    expectFields(CMTime::fromSeconds(0.1234, 600), 74, 600, true);
    expectFields(CMTime::fromSeconds(-0.25, 2), -1, 2, true); // half away from zero
    // 1e19 ticks do not fit; half the timescale does.
    expectFields(CMTime::fromSeconds(1e16, 1000), 5'000'000'000'000'000'000, 500);
    EXPECT_TRUE(CMTime::fromSeconds(1e300, 600).isPositiveInfinity());
    EXPECT_TRUE(
        CMTime::fromSeconds(-std::numeric_limits<double>::infinity(), 600).isNegativeInfinity());
    EXPECT_FALSE(CMTime::fromSeconds(std::nan(""), 600).isValid());
    EXPECT_FALSE(CMTime::fromSeconds(1.0, 0).isValid());
}

TEST(CMTime, SecondsAndDescription) {
    EXPECT_DOUBLE_EQ(CMTime::make(3600, 30).seconds(), 120.0);
    EXPECT_TRUE(std::isnan(CMTime::make(1, 0).seconds()));
    EXPECT_TRUE(std::isnan(CMTime::indefinite.seconds()));
    EXPECT_EQ(CMTime::negativeInfinity.seconds(), -std::numeric_limits<double>::infinity());

    EXPECT_EQ(CMTime::make(1001, 24000).description(), "1001/24000s");
    EXPECT_EQ(CMTime::make(-1, 3).description(), "-1/3s");
    EXPECT_EQ(withEpoch(CMTime::fromSeconds(0.1234, 600), 2).description(),
              "74/600s epoch 2 rounded");
    EXPECT_EQ(CMTime::make(1, 0).description(), "invalid");
    EXPECT_EQ(CMTime::positiveInfinity.description(), "+infinity");
    EXPECT_EQ(CMTime::negativeInfinity.description(), "-infinity");
    EXPECT_EQ(CMTime::indefinite.description(), "indefinite");
}

} // namespace
} // namespace timecode
