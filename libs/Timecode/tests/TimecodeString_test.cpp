#include "timecode/Timecode.h"

#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <string>

namespace timecode {
namespace {

using Rate = TimecodeFrameRate;
using Option = TimecodeStringFormatOption;

TEST(TimecodeString, FormatsFieldsSeparatorsAndOptions) {
    struct Case {
        TimecodeComponents components;
        TimecodeProperties properties;
        TimecodeStringFormat format;
        const char* text;
    };
    const TimecodeProperties quarters{Rate::fps24, TimecodeSubFramesBase::quarterFrames};
    const TimecodeProperties hundredDays{Rate::fps25, TimecodeSubFramesBase::max80SubFrames,
                                         TimecodeUpperLimit::max100Days};
    const Case cases[] = {
        {{.hours = 1}, {Rate::fps24}, {}, "01:00:00:00"},
        {{.minutes = 59, .seconds = 59, .frames = 29}, {Rate::fps29_97d}, {}, "00:59:59;29"},
        {{.seconds = 10, .frames = 100}, {Rate::fps119_88}, {}, "00:00:10:100"},
        {{.frames = 5}, {Rate::fps120d}, {}, "00:00:00;005"},
        {{.days = 2}, hundredDays, {}, "2 00:00:00:00"},
        {{}, {Rate::fps24}, {Option::alwaysShowDays}, "0 00:00:00:00"},
        {{.hours = 1, .minutes = 2, .seconds = 3, .frames = 4, .subFrames = 50},
         {Rate::fps24},
         {Option::showSubFrames},
         "01:02:03:04.50"},
        {{.frames = 1, .subFrames = 3}, quarters, {Option::showSubFrames}, "00:00:00:01.3"},
        {{.subFrames = 7}, hundredDays, {Option::showSubFrames}, "00:00:00:00.07"},
        {{.hours = 1}, {Rate::fps24}, {Option::filenameCompatible}, "01-00-00-00"},
        {{.days = 3, .frames = 2, .subFrames = 9},
         {Rate::fps29_97d, TimecodeSubFramesBase::max100SubFrames, TimecodeUpperLimit::max100Days},
         {Option::filenameCompatible, Option::showSubFrames},
         "3-00-00-00-02.09"},
        {{.hours = -1, .frames = -12}, {Rate::fps24}, {}, "-1:00:00:-12"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Timecode(c.components, c.properties).stringValue(c.format), c.text);
    }
}

TEST(TimecodeString, ParsesDaysAndSubFramesWhenPresent) {
    struct Case {
        const char* text;
        TimecodeComponents components;
    };
    const Case cases[] = {
        {"01:00:00:00", {.hours = 1}},
        {"01:00:00;00", {.hours = 1}},
        {"01;02;03;04", {.hours = 1, .minutes = 2, .seconds = 3, .frames = 4}},
        {"1 01:00:00:00.50", {.days = 1, .hours = 1, .subFrames = 50}},
        {"12:01:00:00:00", {.days = 12, .hours = 1}},
        {"3\t00:00:00:00", {.days = 3}},
        {"00:00:00:07.", {.frames = 7}},
        {" 00:00:00:07", {.frames = 7}},
        {"100:00:00:00", {.hours = 100}},
        {"00:00:10:100", {.seconds = 10, .frames = 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(
            Timecode::fromString(c.text, {Rate::fps24}, TimecodeValidationRule::allowingInvalid)
                .components,
            c.components);
    }
    for (const char* text : {"01:00:00", "", "01:00:00:00 ", "01:00:00.00:00", "a01:00:00:00",
                             "1  01:00:00:00", "01:00:00:00.5.", "-01:00:00:00", "01:00:00:0x",
                             "99999999999999999999:00:00:00", "01:00:00:00.99999999999999999999"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(
            Timecode::fromString(text, {Rate::fps24}, TimecodeValidationRule::allowingInvalid),
            TimecodeStringParseError);
    }
}

// The pattern the string form is defined by; the hand-written reader must capture what it does.
std::optional<TimecodeComponents> componentsByPattern(const std::string& text) {
    static const std::regex pattern(
        R"(^(\d+)??[\:;\s]??(\d+)[\:;](\d+)[\:;](\d+)[\:\;](\d+)[\.]??(\d+)??$)");
    std::smatch match;
    if (!std::regex_match(text, match, pattern)) {
        return std::nullopt;
    }
    const auto field = [&](std::size_t group) {
        return match[group].matched ? std::stoll(match[group].str()) : 0;
    };
    return TimecodeComponents{field(1), field(2), field(3), field(4), field(5), field(6)};
}

TEST(TimecodeString, ReaderAgreesWithTheDefiningPattern) {
    const std::string pieces[] = {"1", "01", "123", ":", ";", " ", "\n", ".", "x", ""};
    // Every arrangement of up to eight pieces drawn from a small alphabet around the grammar.
    std::vector<std::string> texts = {"1:2:3:4"};
    for (const std::string& a : pieces) {
        for (const std::string& b : pieces) {
            texts.push_back(a + b + "01:02:03:04");
            texts.push_back("01:02:03:04" + a + b);
            texts.push_back(a + "01" + b + "02:03:04");
            texts.push_back("1" + a + "2" + b + "3:4:5");
            texts.push_back(a + "1:2" + b + "3;4");
        }
    }
    for (const std::string& text : texts) {
        SCOPED_TRACE("\"" + text + "\"");
        const auto expected = componentsByPattern(text);
        try {
            const Timecode parsed =
                Timecode::fromString(text, {Rate::fps24}, TimecodeValidationRule::allowingInvalid);
            ASSERT_TRUE(expected) << "read, but the pattern does not match";
            EXPECT_EQ(parsed.components, *expected);
        } catch (const TimecodeStringParseError&) {
            EXPECT_FALSE(expected) << "refused, but the pattern matches";
        }
    }
}

TEST(TimecodeString, PrintedFormsReadBack) {
    const TimecodeProperties properties{Rate::fps59_94d, TimecodeSubFramesBase::max80SubFrames,
                                        TimecodeUpperLimit::max100Days};
    for (std::int64_t frames = 0; frames < 500'000'000; frames += 7'777'777) {
        const Timecode timecode = Timecode::fromFrameCount(
            TimecodeFrameCount::split(frames, frames % 80, properties.subFramesBase), properties);
        const TimecodeStringFormat format{Option::showSubFrames};
        EXPECT_EQ(Timecode::fromString(timecode.stringValue(format), properties), timecode);
    }
}

} // namespace
} // namespace timecode
