#include "kvnutils/FileNameList.h"
#include "kvnutils/NSPasteboard.h"
#include "kvnutils/PasteboardTypes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/DescribedError.h>
#include <koltutils/ScopedLogCapture.h>
#include <platform/MemoryPasteboard.h>
#include <xmltree/XMLError.h>

namespace {

using ::testing::ElementsAre;
using ::testing::MatchesRegex;

std::vector<std::uint8_t> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(NSPasteboard, FcpxmlDataTakesTheNewestTypeThatDeliversData) {
    platform::MemoryPasteboard both;
    auto& item = both.addItem();
    item.setString("com.apple.finalcutpro.xml.v1-9", "nine");
    item.setString("com.apple.finalcutpro.xml.v1-10", "ten");
    item.setString("com.apple.finalcutpro.xml", "plain");
    EXPECT_EQ(kvnutils::fcpxmlData(both), bytes("ten"));

    // Listed first but delivering nothing: the next older type is used.
    platform::MemoryPasteboard lazy;
    auto& lazyItem = lazy.addItem();
    lazyItem.declareType("com.apple.finalcutpro.xml.v1-10");
    lazyItem.setString("com.apple.finalcutpro.xml.v1-9", "nine");
    EXPECT_EQ(kvnutils::fcpxmlData(lazy), bytes("nine"));

    platform::MemoryPasteboard textOnly;
    textOnly.addItem().setString(platform::Pasteboard::stringType, "<fcpxml/>");
    EXPECT_EQ(kvnutils::fcpxmlData(textOnly), std::nullopt);
}

TEST(NSPasteboard, XmlDocumentReadsTheTextOrThrowsTheDescribedError) {
    platform::MemoryPasteboard text;
    text.addItem().setString(platform::Pasteboard::stringType,
                             "<?xml version=\"1.0\"?>\n<fcpxml version=\"1.10\">\n"
                             "  <resources/>\n</fcpxml>");
    const auto document = kvnutils::xmlDocument(text);
    EXPECT_EQ(document->root()->name(), "fcpxml");

    platform::MemoryPasteboard image;
    image.addItem().setData("public.png", {0x89, 'P', 'N', 'G'});
    try {
        kvnutils::xmlDocument(image);
        FAIL() << "an image-only pasteboard must not read as XML";
    } catch (const koltutils::DescribedError& error) {
        EXPECT_STREQ(error.what(), "Failed to parse pasteboard for XML");
        EXPECT_EQ(error.code(), 1);
    }

    platform::MemoryPasteboard malformed;
    malformed.addItem().setString(platform::Pasteboard::stringType, "<fcpxml>");
    EXPECT_THROW(kvnutils::xmlDocument(malformed), xmltree::XMLError);
}

TEST(NSPasteboard, InspectContentsLogsEachItemUntilOneLacksTheEditorsPropertyList) {
    const std::string plist = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>count</key><integer>2</integer>
<key>name</key><string>Clip</string></dict></plist>)";
    platform::MemoryPasteboard pasteboard;
    pasteboard.addItem("first").setString(kvnutils::PasteboardTypes::proFFPasteboard, plist);
    pasteboard.addItem("second").setString(kvnutils::PasteboardTypes::proFFPasteboard, "garbage");
    pasteboard.addItem("third").setString(platform::Pasteboard::stringType, "text");
    pasteboard.addItem("fourth").setString(kvnutils::PasteboardTypes::proFFPasteboard, plist);

    koltutils::ScopedLogCapture capture;
    kvnutils::inspectContents(pasteboard);
    EXPECT_THAT(
        capture.lines(),
        ElementsAre(MatchesRegex(R"(NSPasteboard\.cpp:inspectContents\(\):[0-9]+:first )"
                                 R"(\["com\.apple\.flexo\.proFFPasteboardUTI"\])"),
                    MatchesRegex(R"(NSPasteboard\.cpp:inspectContents\(\):[0-9]+:)"
                                 R"(\["count": 2, "name": "Clip"\])"),
                    MatchesRegex(R"(NSPasteboard\.cpp:inspectContents\(\):[0-9]+:second .*)"),
                    MatchesRegex(R"(🚩 NSPasteboard\.cpp:inspectContents\(\):[0-9]+:)"
                                 R"(Error reading plist: .+)"),
                    MatchesRegex(R"(NSPasteboard\.cpp:inspectContents\(\):[0-9]+:third )"
                                 R"(\["public\.utf8-plain-text"\])")));
}

TEST(NSPasteboard, InspectContentsLogsNilForAPropertyListThatIsNotADictionary) {
    platform::MemoryPasteboard pasteboard;
    pasteboard.addItem("only").setData(kvnutils::PasteboardTypes::proFFPasteboard,
                                       kvnutils::fileNameListData({"/a"}));
    koltutils::ScopedLogCapture capture;
    kvnutils::inspectContents(pasteboard);
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_THAT(capture.lines()[1],
                MatchesRegex(R"(NSPasteboard\.cpp:inspectContents\(\):[0-9]+:nil)"));
}

} // namespace
