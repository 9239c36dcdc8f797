#include <gtest/gtest.h>
#include <kvntime/UnformattedTimecode.h>
#include <string>

using kvntime::parseUnformattedTimecode;
using timecode::TimecodeComponents;
using timecode::TimecodeFrameRate;

TEST(UnformattedTimecode, DigitsFillTheFieldsFromTheRightWithDaysForWhatIsLeft) {
    EXPECT_EQ(parseUnformattedTimecode("1234", TimecodeFrameRate::fps25),
              (TimecodeComponents{0, 0, 0, 12, 34, 0}));
    EXPECT_EQ(parseUnformattedTimecode("1000000", TimecodeFrameRate::fps25),
              (TimecodeComponents{0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(parseUnformattedTimecode("101000000", TimecodeFrameRate::fps25),
              (TimecodeComponents{1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(parseUnformattedTimecode("7", TimecodeFrameRate::fps25),
              (TimecodeComponents{0, 0, 0, 0, 7, 0}));
    // Separators typed with the digits change nothing.
    EXPECT_EQ(parseUnformattedTimecode("01:02:03;04", TimecodeFrameRate::fps29_97d),
              (TimecodeComponents{0, 1, 2, 3, 4, 0}));
}

TEST(UnformattedTimecode, FramesTakeAsManyDigitsAsTheRatesHighestFrame) {
    EXPECT_EQ(parseUnformattedTimecode("1119", TimecodeFrameRate::fps120),
              (TimecodeComponents{0, 0, 0, 1, 119, 0}));
    EXPECT_EQ(parseUnformattedTimecode("1119", TimecodeFrameRate::fps25),
              (TimecodeComponents{0, 0, 0, 11, 19, 0}));
}

TEST(UnformattedTimecode, NoDigitsOrTooManyReadAsNothing) {
    EXPECT_EQ(parseUnformattedTimecode("", TimecodeFrameRate::fps25), std::nullopt);
    EXPECT_EQ(parseUnformattedTimecode("::;", TimecodeFrameRate::fps25), std::nullopt);
    EXPECT_EQ(parseUnformattedTimecode(std::string(17, '9'), TimecodeFrameRate::fps25)->days,
              999999999);
    EXPECT_EQ(parseUnformattedTimecode(std::string(18, '9'), TimecodeFrameRate::fps25),
              std::nullopt);
}
