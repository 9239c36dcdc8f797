#include "timecode/CMTimeString.h"
#include "timecode/Fraction.h"
#include "timecode/Timecode.h"

#include <cmath>
#include <gtest/gtest.h>

namespace timecode {
namespace {

using Rate = TimecodeFrameRate;

TEST(CMTimeStringCreate, WritesTheFrameOfARealTimeAsARatio) {
    struct Case {
        double seconds;
        Rate rate;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {3600, Rate::fps24, "3600/1s"},
        {10, Rate::fps25, "10/1s"},
        {0, Rate::fps24, "0s"},
        {1001.0 / 24000, Rate::fps23_976, "1001/24000s"},
        // Cut to the hundredth of a frame it falls in: 1.5025 frames.
        {0.0601, Rate::fps25, "3/50s"},
        {3600, Rate::fps29_97d, "1079999921/300000s"}, // 107892.10 frames of 1001/30000 s
        {3599.9964, Rate::fps29_97d, "8999991/2500s"}, // 107892 frames
        {86400, Rate::fps24, std::nullopt},
        {-1, Rate::fps24, std::nullopt},
        {std::nan(""), Rate::fps24, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        const auto text = CMTimeString::create(c.seconds, c.rate);
        EXPECT_EQ(text, c.text);
        if (text && c.seconds > 0) {
            // What is written reads back through both FCPXML readers as the same time.
            const auto strict = Fraction::fromFcpxmlString(*text);
            const auto lenient = CMTimeString::parse(*text);
            ASSERT_TRUE(strict && lenient);
            EXPECT_EQ(Fraction(*lenient), *strict);
            EXPECT_EQ(Timecode::fromRational(*strict, {c.rate}),
                      Timecode::fromRealTime(c.seconds, {c.rate}));
        }
    }
}

TEST(CMTimeStringCreate, CountsSamplePositionsAtAWholeSampleRate) {
    EXPECT_EQ(CMTimeString::create(3600, 48000, Rate::fps24), "3600/1s");
    EXPECT_EQ(CMTimeString::create(1.5, 44100, Rate::fps25), "3/2s");
    EXPECT_EQ(CMTimeString::create(1, 0.5, Rate::fps25), std::nullopt);
    EXPECT_EQ(CMTimeString::create(1, std::nan(""), Rate::fps25), std::nullopt);
}

TEST(CMTimeStringCreate, WritesATimecodeOptionallyRoundedUpToItsNextFrame) {
    const TimecodeProperties at24{Rate::fps24};
    const Timecode withSubFrames = Timecode::fromString("00:00:01:00.50", at24);
    EXPECT_EQ(CMTimeString::create(withSubFrames, false), "49/48s");
    EXPECT_EQ(CMTimeString::create(withSubFrames, true), "25/24s");
    EXPECT_EQ(CMTimeString::create(Timecode::zero(at24), true), "0s");
    EXPECT_EQ(CMTimeString::create(Timecode::fromString("23:59:59:23.50", at24), true),
              std::nullopt);
}

} // namespace
} // namespace timecode
