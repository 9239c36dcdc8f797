#include "timecode/Fraction.h"

#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <span>
#include <stdexcept>
#include <unordered_set>

namespace timecode {
namespace {

constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();

void expectIdentical(const Fraction& actual, std::int64_t numerator, std::int64_t denominator) {
    EXPECT_EQ(actual.numerator(), numerator) << actual;
    EXPECT_EQ(actual.denominator(), denominator) << actual;
}

TEST(Fraction, StrictParserKeepsThePairAsWritten) {
    const auto zero = Fraction::fromFcpxmlString("0s");
    ASSERT_TRUE(zero);
    expectIdentical(*zero, 0, 1);
    EXPECT_EQ(zero->isReducedCache(), true);

    expectIdentical(*Fraction::fromFcpxmlString("-0s"), 0, 1);
    expectIdentical(*Fraction::fromFcpxmlString("007s"), 7, 1);
    expectIdentical(*Fraction::fromFcpxmlString("-9223372036854775808s"), int64Min, 1);

    const auto ratio = Fraction::fromFcpxmlString("3600/30s");
    ASSERT_TRUE(ratio);
    expectIdentical(*ratio, 3600, 30);
    EXPECT_EQ(ratio->isReducedCache(), std::nullopt);

    expectIdentical(*Fraction::fromFcpxmlString("-1001/30000s"), -1001, 30000);
    expectIdentical(*Fraction::fromFcpxmlString("1/0s"), 1, 0);
}

TEST(Fraction, StrictParserRefusesAnythingOutsideTheGrammar) {
    const char* const malformed[] = {"",      "s",         "-s",    "5",   " 5s",  "5s ",
                                     "5s\n",  "5.0s",      "+5s",   "5S",  "--5s", "1/-2s",
                                     "1/+2s", "-1/-2s",    "1//2s", "/2s", "1/s",  "1/2/3s",
                                     "1/2",   "\xd9\xa3s", "5ss"};
    const char* const outOfRange[] = {"9223372036854775808s", "1/9223372036854775808s",
                                      "-9223372036854775809/1s"};
    using Texts = std::span<const char* const>;
    for (const Texts texts : {Texts(malformed), Texts(outOfRange)}) {
        for (const char* text : texts) {
            EXPECT_FALSE(Fraction::fromFcpxmlString(text)) << '"' << text << '"';
        }
    }
}

TEST(Fraction, PrintsWholeQuotientsAsSecondsAndOtherwiseTheStoredPair) {
    EXPECT_EQ(Fraction(3600, 30).fcpxmlStringValue(), "120s");
    EXPECT_EQ(Fraction(7200, 2).fcpxmlStringValue(), "3600s");
    EXPECT_EQ(Fraction::zero.fcpxmlStringValue(), "0s");
    EXPECT_EQ(Fraction(0, -5).fcpxmlStringValue(), "0s");
    EXPECT_EQ(Fraction(-10, 5).fcpxmlStringValue(), "-2s");
    EXPECT_EQ(Fraction(1001, 24000).fcpxmlStringValue(), "1001/24000s");
    EXPECT_EQ(Fraction(2002, 48000).fcpxmlStringValue(), "2002/48000s");
    EXPECT_EQ(Fraction(30000, 1001).fcpxmlStringValue(), "30000/1001s");
    EXPECT_EQ(Fraction(1, -2).fcpxmlStringValue(), "-1/2s");
    EXPECT_EQ(Fraction(-1, -2).fcpxmlStringValue(), "1/2s");
    EXPECT_EQ(Fraction(1, 0).fcpxmlStringValue(), "1/0s");
    // The edges of the 64-bit range print exactly, without negating −2^63.
    EXPECT_EQ(Fraction(int64Max, 1).fcpxmlStringValue(), "9223372036854775807s");
    EXPECT_EQ(Fraction(int64Min, -1).fcpxmlStringValue(), "9223372036854775808/1s");
    EXPECT_EQ(Fraction(1, int64Min).fcpxmlStringValue(), "-1/9223372036854775808s");
    // A double quotient that only looks whole keeps its exact ratio.
    EXPECT_EQ(Fraction(10000000000000001, 10000000000000000).fcpxmlStringValue(),
              "10000000000000001/10000000000000000s");

    EXPECT_EQ(Fraction(2002, 48000).description(), "2002/48000");
    EXPECT_EQ(Fraction(1, -2).stringValue(), "1/-2");
}

TEST(Fraction, PrintedStringsReadBackToEqualFractions) {
    for (const Fraction fraction : {Fraction(1001, 24000), Fraction(3600, 30), Fraction(1, -2),
                                    Fraction(-7, 3), Fraction(0, 9), Fraction(int64Min, 1)}) {
        const auto readBack = Fraction::fromFcpxmlString(fraction.fcpxmlStringValue());
        ASSERT_TRUE(readBack) << fraction;
        EXPECT_EQ(*readBack, fraction);
    }
}

TEST(Fraction, ReductionPutsTheSignOnTheNumerator) {
    struct Case {
        Fraction input;
        std::int64_t numerator;
        std::int64_t denominator;
    };
    for (const auto& [input, numerator, denominator] : {Case{{2, 4}, 1, 2},
                                                        {{-4, 6}, -2, 3},
                                                        {{4, -6}, -2, 3},
                                                        {{-4, -6}, 2, 3},
                                                        {{0, -7}, 0, 1},
                                                        {{6, -4}, -3, 2},
                                                        {{int64Min, 2}, int64Min / 2, 1},
                                                        {{int64Min, int64Min}, 1, 1},
                                                        {{5, 0}, 1, 0},
                                                        {{0, 0}, 0, 0}}) {
        const Fraction reduced = input.reduced();
        expectIdentical(reduced, numerator, denominator);
        EXPECT_EQ(reduced.isReducedCache(), true);
        EXPECT_TRUE(reduced.isReduced());
    }
    EXPECT_FALSE(Fraction(2, 4).isReduced());
    EXPECT_FALSE(Fraction(1, -2).isReduced());
    EXPECT_TRUE(Fraction(1, 2).isReduced());
    expectIdentical(Fraction::reducing(300, -20), -15, 1);
    EXPECT_THROW(Fraction(1, int64Min).reduced(), std::overflow_error);
    EXPECT_THROW(Fraction(int64Min, -1).reduced(), std::overflow_error);
}

TEST(Fraction, ArithmeticGivesReducedResults) {
    const Fraction sum = Fraction(1, 2) + Fraction(1, 3);
    expectIdentical(sum, 5, 6);
    EXPECT_EQ(sum.isReducedCache(), true);
    expectIdentical(Fraction(1, 2) - Fraction(1, 2), 0, 1);
    expectIdentical(Fraction(1, 2) + Fraction(1, -3), 1, 6);
    expectIdentical(Fraction(1001, 24000) + Fraction(1001, 24000), 1001, 12000);
    expectIdentical(Fraction(1, 6) - Fraction(1, 4), -1, 12);
    expectIdentical(Fraction(2, 3) * Fraction(-9, 4), -3, 2);
    expectIdentical(Fraction(1, 2) / Fraction(-1, 3), -3, 2);
    expectIdentical(Fraction(-1, 2) / Fraction(-1, 3), 3, 2);
    // Large denominators with a common factor stay in range through the least common multiple.
    expectIdentical(Fraction(1, 3'000'000'000'000) + Fraction(1, 2'000'000'000'000), 1,
                    1'200'000'000'000);
}

TEST(Fraction, ViolatedPreconditionsThrowInsteadOfOverflowing) {
    try {
        (void)(Fraction(1, 2) / Fraction(0, 5));
        FAIL() << "dividing by zero did not throw";
    } catch (const std::domain_error& error) {
        EXPECT_STREQ(error.what(), "Division by zero.");
    }
    try {
        (void)(Fraction(int64Max, 1) + Fraction(1, 1));
        FAIL() << "an overflowing sum did not throw";
    } catch (const std::overflow_error& error) {
        EXPECT_STREQ(error.what(), "9223372036854775807/1 + 1/1 overflows 64-bit integers.");
    }
    EXPECT_THROW((void)(Fraction(int64Min, 1) - Fraction(1, 1)), std::overflow_error);
    EXPECT_THROW((void)(Fraction(1, 4'000'000'007) + Fraction(1, 4'000'000'019)),
                 std::overflow_error);
    EXPECT_THROW((void)(Fraction(int64Max, 1) * Fraction(2, 1)), std::overflow_error);
    EXPECT_THROW((void)(Fraction(1, int64Max) / Fraction(2, 1)), std::overflow_error);
    EXPECT_THROW((void)(Fraction(1, 0) + Fraction(1, 2)), std::domain_error);
    EXPECT_THROW((void)(Fraction(1, 2) * Fraction(1, 0)), std::domain_error);
    EXPECT_THROW((void)Fraction(int64Min, 1).negated(), std::overflow_error);
    EXPECT_THROW((void)Fraction(1, int64Min).abs(), std::overflow_error);
    EXPECT_THROW((void)Fraction(1, 1LL << 31).cmTimeValue(), std::out_of_range);
}

TEST(Fraction, EqualityAndHashFollowTheReducedForm) {
    const std::hash<Fraction> hash;
    const auto expectEqual = [&](const Fraction& lhs, const Fraction& rhs) {
        EXPECT_EQ(lhs, rhs);
        EXPECT_EQ(hash(lhs), hash(rhs)) << lhs << " and " << rhs;
    };
    expectEqual(Fraction(1, 2), Fraction(2, 4));
    expectEqual(Fraction(1001, 24000), Fraction(2002, 48000));
    expectEqual(Fraction(-1, 2), Fraction(1, -2));
    expectEqual(Fraction(0, 5), Fraction(0, -3));
    expectEqual(Fraction(int64Min, int64Min), Fraction(1, 1));
    expectEqual(Fraction(3, 1), *Fraction::fromFcpxmlString("3s"));
    EXPECT_NE(Fraction(1, 2), Fraction(-1, 2));
    EXPECT_NE(Fraction(1, 3), Fraction(1, 2));
    EXPECT_TRUE(Fraction(1, 2).isEqual(Fraction(3, 6)));
    EXPECT_FALSE(Fraction(1, 2).isIdentical(Fraction(2, 4)));

    const std::unordered_set<Fraction> set{Fraction(1, 2), Fraction(2, 4), Fraction(-3, -6),
                                           Fraction(1, 3)};
    EXPECT_EQ(set.size(), 2u);
}

TEST(Fraction, OrderSignAndWholeness) {
    EXPECT_LT(Fraction(1, 3), Fraction(1, 2));
    EXPECT_GT(Fraction(-1, 3), Fraction(1, -2));
    EXPECT_LE(Fraction(2, 4), Fraction(1, 2));
    EXPECT_GE(Fraction(1001, 30000), Fraction(1, 30));
    EXPECT_TRUE(Fraction(0, -5).isNegative());
    EXPECT_TRUE(Fraction(1, -5).isNegative());
    EXPECT_FALSE(Fraction(-1, -5).isNegative());
    EXPECT_TRUE(Fraction(7200, 2).isWholeInteger());
    EXPECT_FALSE(Fraction(30000, 1001).isWholeInteger());
    EXPECT_FALSE(Fraction(1, 0).isWholeInteger());
    expectIdentical(Fraction(-2, -4).abs(), 2, 4);
    expectIdentical(Fraction(2, -4).negated(), -2, -4);
}

TEST(Fraction, ExactOrderSeparatesWhatDoublesMerge) {
    const Fraction above(9007199254740993, 1); // 2^53 + 1: the same double as 2^53
    const Fraction below(9007199254740992, 1);
    ASSERT_NE(above, below);
    ASSERT_FALSE(above < below || above > below);
    EXPECT_EQ(Fraction::compareExactly(above, below), std::strong_ordering::greater);
    EXPECT_EQ(Fraction::compareExactly(below, above), std::strong_ordering::less);
    // Equal values in any form compare equal, as == has them; signs may sit on either part.
    EXPECT_EQ(Fraction::compareExactly(Fraction(2, 4), Fraction(-1, -2)),
              std::strong_ordering::equal);
    EXPECT_EQ(Fraction::compareExactly(Fraction(1, -3), Fraction(-1, 2)),
              std::strong_ordering::greater);
    // The edges of the 64-bit range still compare exactly.
    EXPECT_EQ(Fraction::compareExactly(Fraction(int64Max, int64Max - 1),
                                       Fraction(int64Max - 1, int64Max - 2)),
              std::strong_ordering::less);
    EXPECT_EQ(Fraction::compareExactly(Fraction(int64Min, 1), Fraction(int64Min + 1, 1)),
              std::strong_ordering::less);
    EXPECT_EQ(Fraction::compareExactly(Fraction(1, int64Min), Fraction(0, 1)),
              std::strong_ordering::less);
    // Zero denominators: -n/0 < finite < +n/0 < 0/0, matching == on their reduced forms.
    EXPECT_EQ(Fraction::compareExactly(Fraction(-3, 0), Fraction(int64Min, 1)),
              std::strong_ordering::less);
    EXPECT_EQ(Fraction::compareExactly(Fraction(5, 0), Fraction(1, 0)),
              std::strong_ordering::equal);
    EXPECT_EQ(Fraction::compareExactly(Fraction(0, 0), Fraction(5, 0)),
              std::strong_ordering::greater);

    // A set keeps both neighbours and orders them.
    const std::set<Fraction, Fraction::ExactLess> set{above, below, Fraction(18014398509481984, 2)};
    EXPECT_EQ(set.size(), 2u);
    EXPECT_EQ(*set.begin(), below);
}

TEST(Fraction, BridgesToAndFromCMTime) {
    expectIdentical(Fraction(CMTime::make(1001, 24000)), 1001, 24000);
    expectIdentical(Fraction(CMTime::indefinite), 0, 1);
    expectIdentical(Fraction(CMTime::positiveInfinity), 0, 1);
    expectIdentical(Fraction(CMTime::negativeInfinity), 0, 1);
    expectIdentical(Fraction(CMTime::invalid), 0, 0);
    EXPECT_TRUE(Fraction(1001, -24000).cmTimeValue().isIdentical(CMTime::make(1001, -24000)));
    EXPECT_TRUE(Fraction(100, 2400).cmTimeValue().isIdentical(CMTime::make(100, 2400)));
}

TEST(Fraction, FromDoubleTruncatesTheDecimalForm) {
    expectIdentical(Fraction::fromDouble(0.5, 3), 1, 2);
    expectIdentical(Fraction::fromDouble(0.1, 5), 1, 10); // the decimal 0.1, not the binary one
    expectIdentical(Fraction::fromDouble(23.976, 3), 2997, 125);
    expectIdentical(Fraction::fromDouble(23.976023976, 3), 2997, 125);
    expectIdentical(Fraction::fromDouble(-1.25, 1), -6, 5);
    expectIdentical(Fraction::fromDouble(2.7, 0), 2, 1);
    expectIdentical(Fraction::fromDouble(2.7, -3), 2, 1);
    expectIdentical(Fraction::fromDouble(1e-30, 40), 0, 1);
    expectIdentical(Fraction::fromDouble(123456789.123456789, 20), 12345678912345679, 100000000);
    expectIdentical(Fraction::fromDouble(123456789.123456789, 2), 3086419728, 25);
    EXPECT_THROW((void)Fraction::fromDouble(1e20, 2), std::overflow_error);
    EXPECT_THROW((void)Fraction::fromDouble(std::numeric_limits<double>::quiet_NaN(), 2),
                 std::domain_error);
}

} // namespace
} // namespace timecode
