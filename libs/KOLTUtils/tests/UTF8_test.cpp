#include "koltutils/UTF8.h"

#include <gtest/gtest.h>
#include <string>

namespace koltutils {
namespace {

TEST(UTF8, RefusesEveryIllFormedSequence) {
    for (const std::string bad :
         {"\x80", "\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x82", "\xC3", "\xE2\x28\xA1", "\xFF"}) {
        EXPECT_FALSE(UTF8::isValid(bad)) << testing::PrintToString(bad);
        EXPECT_EQ(UTF8::sequenceLength(bad, 0), 0u) << testing::PrintToString(bad);
    }
    EXPECT_EQ(UTF8::sequenceLength("\xC3\xA9", 0), 2u);
    EXPECT_EQ(UTF8::sequenceLength("\xE2\x82\xAC", 0), 3u);
    EXPECT_EQ(UTF8::sequenceLength("\xF4\x8F\xBF\xBF", 0), 4u) << "U+10FFFF is the last";
    EXPECT_TRUE(UTF8::isValid(""));
}

// Long runs of ASCII are skipped eight bytes at a time: a bad byte must be found wherever it
// falls against those blocks, and a sequence may straddle them.
TEST(UTF8, FindsABadByteAtAnyPositionOfALongText) {
    for (std::size_t position = 0; position < 20; ++position) {
        std::string text(20, 'a');
        EXPECT_TRUE(UTF8::isValid(text));
        text[position] = '\x80';
        EXPECT_FALSE(UTF8::isValid(text)) << "at " << position;
        text.replace(position, 1, "\xC3\xA9");
        EXPECT_TRUE(UTF8::isValid(text)) << "at " << position;
        EXPECT_FALSE(UTF8::isValid(text.substr(0, position + 1))) << "cut at " << position;
    }
}

TEST(UTF8, TrimsEveryUnicodeSpaceAndLineBreakAtTheEdgesOnly) {
    EXPECT_EQ(UTF8::trimmingWhitespace(" \t\xC2\xA0x\xE2\x80\xAFy\r\n\xE3\x80\x80\xC2\x85"),
              "x\xE2\x80\xAFy");
    EXPECT_EQ(UTF8::trimmingWhitespace("\xE2\x80\xA8\xE2\x80\xA9"), "");
    // A zero-width space is no white space; a lone continuation byte is not one either.
    EXPECT_EQ(UTF8::trimmingWhitespace("\xE2\x80\x8Bx"), "\xE2\x80\x8Bx");
    EXPECT_EQ(UTF8::trimmingWhitespace("x\xA0"), "x\xA0");
}

} // namespace
} // namespace koltutils
