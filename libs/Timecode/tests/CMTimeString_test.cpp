#include "timecode/CMTimeString.h"
#include "timecode/Fraction.h"
#include "timecode/TimecodeFrameRate.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace timecode {
namespace {

TEST(CMTimeString, ParseReadsValueOverTimescale) {
    struct Case {
        const char* text;
        std::int64_t value;
        std::int32_t timescale;
    };
    for (const auto& [text, value, timescale] :
         {Case{"3600/30s", 3600, 30}, Case{"1001/24000s", 1001, 24000}, Case{"5s", 5, 1},
          Case{"-1001/30000s", -1001, 30000}, Case{"00s", 0, 1}, Case{"+5s", 5, 1}, Case{"5", 5, 1},
          Case{"1/2/3s", 1, 3}, Case{"5ss", 5, 1}, Case{"1/x/30s", 1, 30}, Case{"1//2s", 1, 2},
          Case{"/30000s", 30000, 30000}, Case{"s1s0s/s3s", 10, 3},
          Case{"-9223372036854775808/1s", INT64_MIN, 1}, Case{"1/2147483647s", 1, 2147483647}}) {
        const auto time = CMTimeString::parse(text);
        ASSERT_TRUE(time) << text;
        EXPECT_TRUE(time->isIdentical(CMTime::make(value, timescale))) << text << " → " << *time;
    }
    const auto zero = CMTimeString::parse("0s");
    ASSERT_TRUE(zero);
    EXPECT_TRUE(zero->isIdentical(CMTime::zero));
    EXPECT_DOUBLE_EQ(CMTimeString::parse("3600/30s")->seconds(), 120.0);
}

TEST(CMTimeString, ParseRefusesUnreadableNumbersAndUnusableTimescales) {
    for (const char* text :
         {"", "s", "/", "//s", "5.0s", " 5s", "5s ", "abc", "+-5s", "-s", "9223372036854775808s",
          "1/2147483648s", "1/0s", "1/-30s", "1/+0s", "x/30s"}) {
        EXPECT_FALSE(CMTimeString::parse(text)) << '"' << text << '"';
    }
}

// Where both the lenient and the strict reader read, they agree.
TEST(CMTimeString, StrictAndLenientReadersAgreeWithinTheStrictGrammar) {
    for (const char* text : {"0s", "-0s", "3600/30s", "1001/24000s", "-1001/30000s", "86400s"}) {
        const auto strict = Fraction::fromFcpxmlString(text);
        const auto lenient = CMTimeString::parse(text);
        ASSERT_TRUE(strict && lenient) << text;
        EXPECT_EQ(*strict, Fraction(*lenient)) << text;
    }
}

struct Attribute {
    std::string name;
    std::string value;
};

// The time attributes of a document's text, comments left out.
std::vector<Attribute> timeAttributes(std::string text) {
    for (std::size_t start; (start = text.find("<!--")) != std::string::npos;) {
        text.erase(start, text.find("-->", start) + 3 - start);
    }
    std::vector<Attribute> attributes;
    for (const std::string name : {"offset", "start", "duration", "tcStart", "frameDuration",
                                   "audioStart", "audioDuration"}) {
        const std::string opening = " " + name + "=\"";
        for (std::size_t at = text.find(opening); at != std::string::npos;
             at = text.find(opening, at + 1)) {
            const std::size_t valueStart = at + opening.size();
            attributes.push_back(
                {name, text.substr(valueStart, text.find('"', valueStart) - valueStart)});
        }
    }
    return attributes;
}

// Every time attribute in the real Final Cut Pro exports must read, the same way through both
// readers; every format's frame duration must name a timecode rate.
TEST(CMTimeString, ReadsEveryTimeAttributeOfRealDocuments) {
    const std::filesystem::path samples =
        std::filesystem::path(VELOTRACK_SOURCE_DIR) / "../shared/fcpxml-samples";
    if (!std::filesystem::is_directory(samples)) {
        GTEST_SKIP() << "no sample documents at " << samples;
    }
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(samples)) {
        if (entry.path().extension() != ".fcpxml") {
            continue;
        }
        std::ifstream file(entry.path());
        std::stringstream contents;
        contents << file.rdbuf();
        for (const auto& [name, value] : timeAttributes(contents.str())) {
            const auto lenient = CMTimeString::parse(value);
            const auto strict = Fraction::fromFcpxmlString(value);
            ASSERT_TRUE(lenient && strict) << entry.path() << ": " << name << "=" << value;
            EXPECT_EQ(*strict, Fraction(*lenient)) << entry.path() << ": " << value;
            if (name == "frameDuration") {
                EXPECT_TRUE(timecodeFrameRateFromFrameDuration(*lenient, false))
                    << entry.path() << ": " << value;
            }
            ++count;
        }
    }
    EXPECT_GT(count, 100u);
}

} // namespace
} // namespace timecode
