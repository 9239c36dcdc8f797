#include "timecode/Timecode.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <unordered_set>

namespace timecode {
namespace {

using Count = TimecodeFrameCount;
constexpr auto base100 = TimecodeSubFramesBase::max100SubFrames;
constexpr auto base80 = TimecodeSubFramesBase::max80SubFrames;

TEST(TimecodeFrameCount, SplitsEveryFormIntoWholeAndSubFrames) {
    struct Case {
        Count count;
        std::int64_t wholeFrames;
        std::int64_t subFrames;
        double doubleValue;
    };
    const Case cases[] = {
        {Count::frames(42, base100), 42, 0, 42},
        {Count::split(2, 50, base100), 2, 50, 2.5},
        {Count::combined(2.5, base100), 2, 50, 2.5},
        // Decimal, not binary, fractions: 1.57 - 1 is 0.5700000000000001 and 0.57 * 100 is
        // 56.99999999999999 in double arithmetic.
        {Count::combined(1.57, base100), 1, 57, 1.57},
        {Count::combined(0.29, base100), 0, 29, 0.29},
        {Count::combined(-2.5, base100), -2, -50, -2.5},
        {Count::combined(10.0125, base80), 10, 1, 10.0125},
        {Count::combined(1e17 + 0.5, base100), 100000000000000000, 0, 1e17},
        {Count::splitUnitInterval(3, 0.25, base80), 3, 20, 3.25},
        {Count::splitUnitInterval(3, 1.0, base100), 3, 100, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.doubleValue);
        EXPECT_EQ(c.count.wholeFrames(), c.wholeFrames);
        EXPECT_EQ(c.count.subFrames(), c.subFrames);
        EXPECT_DOUBLE_EQ(c.count.doubleValue(), c.doubleValue);
    }
    for (const double frames : {std::nan(""), std::numeric_limits<double>::infinity(), 1e19}) {
        EXPECT_THROW(Count::combined(frames, base100), TimecodeValidationError);
    }
}

TEST(TimecodeFrameCount, EqualsAndHashesByPositionWhateverTheForm) {
    const Count split = Count::split(2, 50, base100);
    const Count combined = Count::combined(2.5, base100);
    EXPECT_EQ(split, combined);
    EXPECT_EQ(std::hash<Count>{}(split), std::hash<Count>{}(combined));
    EXPECT_EQ(Count::frames(3, base100), Count::split(2, 100, base100));
    EXPECT_NE(Count::frames(3, base100), Count::split(3, 1, base100));
    EXPECT_LT(Count::combined(-0.5, base100), Count::frames(0, base100));
    const std::unordered_set<Count> counts{split, combined, Count::frames(2, base100)};
    EXPECT_EQ(counts.size(), 2u);
}

} // namespace
} // namespace timecode
