#include "../src/DocumentText.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace kvnfcpx::detail {
namespace {

// A line and a column.
using Place = std::pair<std::size_t, std::size_t>;

// The file route's text, made in place and as a copy: controls of every kind (C0 with line
// breaks and tabs, DEL, C1) go, everything else stays, multi-byte characters included.
TEST(DocumentText, ControlCharactersGoInPlaceAsInACopy) {
    const std::string bytes = "<a>\r\n\tcaf\xC3\xA9\x7F \xC2\x85\xC2\x9F\xC2\xA0x\xE2\x80\xA8"
                              "\xF0\x9F\x8E\xAC\x01</a>\n";
    const std::string expected = "<a>caf\xC3\xA9 \xC2\xA0x\xE2\x80\xA8\xF0\x9F\x8E\xAC</a>";
    EXPECT_EQ(utf8WithoutControlCharacters(bytes), expected);
    std::string text = bytes;
    ASSERT_TRUE(removeControlCharacters(text));
    EXPECT_EQ(text, expected);

    std::string onlyControls = "\n\r\t\x1F";
    ASSERT_TRUE(removeControlCharacters(onlyControls));
    EXPECT_EQ(onlyControls, "");
}

TEST(DocumentText, BytesThatAreNotUTF8StayAsTheyWere) {
    for (const std::string& bytes : {std::string("ok\nthen \xE9t\xE9"), std::string("\xC0\x80"),
                                     std::string("cut \xE2\x82")}) {
        std::string text = bytes;
        EXPECT_FALSE(removeControlCharacters(text));
        EXPECT_EQ(text, bytes);
        EXPECT_EQ(utf8WithoutControlCharacters(bytes), std::nullopt);
    }
    EXPECT_EQ(firstInvalidUTF8Offset("ok\nthen \xE9t\xE9"), 8u);
}

// A reader's position in the text without controls, back in the file's lines and columns.
TEST(DocumentText, PositionsMapBackOntoTheLinesOfTheFile) {
    const std::string bytes = "<a>\r\n  <b>\xC3\xA9\n\t<c>\r<d/>";
    const auto text = utf8WithoutControlCharacters(bytes).value();
    const auto at = [&](std::string_view what) {
        const auto position = originalPosition(bytes, text.find(what));
        return Place(position.line, position.column);
    };
    EXPECT_EQ(at("<a>"), Place(1, 0));
    EXPECT_EQ(at("<b>"), Place(2, 2));
    EXPECT_EQ(at("<c>"), Place(3, 1));
    EXPECT_EQ(at("<d/>"), Place(4, 0));
    const auto end = originalPosition(bytes, text.size());
    EXPECT_EQ(Place(end.line, end.column), Place(4, 4));
}

} // namespace
} // namespace kvnfcpx::detail
