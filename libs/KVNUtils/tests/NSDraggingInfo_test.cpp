#include "kvnutils/FileNameList.h"
#include "kvnutils/NSDraggingInfo.h"
#include "kvnutils/PasteboardTypes.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/ScopedLogCapture.h>
#include <platform/MemoryPasteboard.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

platform::MemoryDraggingInfo dropOfStrings(const std::vector<std::string>& strings) {
    platform::MemoryDraggingInfo info;
    for (const auto& string : strings) {
        info.pasteboard().addItem().setString(platform::Pasteboard::stringType, string);
    }
    return info;
}

std::vector<std::string> urlTexts(const std::vector<koltutils::URL>& urls) {
    std::vector<std::string> texts;
    for (const auto& url : urls) {
        texts.push_back(url.absoluteString());
    }
    return texts;
}

TEST(NSDraggingInfo, UrlsKeepLinksAndExistingPathsAndLogJson) {
    const auto folder = std::filesystem::path(VELOTRACK_BINARY_DIR) / "NSDraggingInfo_test";
    std::filesystem::create_directories(folder);
    const auto file = folder / "Cut 1.fcpxml";
    std::ofstream(file) << "<fcpxml/>";

    // A link that does not parse (a raw space) is left out like a missing path.
    auto info =
        dropOfStrings({"{\"clip\": 1}", "https://example.com/a b", "https://example.com/cut",
                       "/no/such/file.fcpxml", file.string(), "ftp://example.com/x"});
    // An item carrying only an image adds no string.
    info.pasteboard().addItem().setData("public.png", {1, 2, 3});

    koltutils::ScopedLogCapture capture;
    const auto urls = kvnutils::toURLArray(info);
    ASSERT_TRUE(urls);
    EXPECT_THAT(urlTexts(*urls), ElementsAre("https://example.com/cut",
                                             koltutils::URL::fileURL(file).absoluteString()));
    EXPECT_THAT(capture.lines(),
                ElementsAre(MatchesRegex("🚩 NSDraggingInfo\\.cpp:toURLArray\\(\\):[0-9]+:"
                                         "JSON found in URL array:\n \\{\"clip\": 1\\}")));
    EXPECT_EQ(kvnutils::firstURL(info)->absoluteString(), "https://example.com/cut");

    std::filesystem::remove_all(folder);
}

TEST(NSDraggingInfo, ThreeStringDropYieldsOnlyTheWebLink) {
    const auto info = dropOfStrings({"{}", "http://example.com/cut", "/missing/path"});
    koltutils::ScopedLogCapture capture;
    const auto urls = kvnutils::toURLArray(info);
    ASSERT_TRUE(urls);
    EXPECT_THAT(urlTexts(*urls), ElementsAre("http://example.com/cut"));
    EXPECT_EQ(capture.lines().size(), 1u);
}

TEST(NSDraggingInfo, FileNameListIsTheFallbackWhenNoItemHasText) {
    platform::MemoryDraggingInfo info;
    info.pasteboard().addItem().setData("public.png", {1});
    info.pasteboard().pasteboardEntries().setData(kvnutils::PasteboardTypes::filenames,
                                                  kvnutils::fileNameListData({"/a.fcpxml", "/b"}));
    EXPECT_THAT(kvnutils::stringArray(info), ::testing::Optional(ElementsAre("/a.fcpxml", "/b")));

    // With text on an item, the list is not consulted.
    info.pasteboard().addItem().setString(platform::Pasteboard::stringType, "text");
    EXPECT_THAT(kvnutils::stringArray(info), ::testing::Optional(ElementsAre("text")));
}

TEST(NSDraggingInfo, NothingToReadIsAbsentWithAnErrorLine) {
    platform::MemoryDraggingInfo info;
    info.pasteboard().addItem().setData("public.png", {1});
    // An empty file-name list is nothing as well.
    info.pasteboard().pasteboardEntries().setData(kvnutils::PasteboardTypes::filenames,
                                                  kvnutils::fileNameListData({}));
    koltutils::ScopedLogCapture capture;
    EXPECT_EQ(kvnutils::stringArray(info), std::nullopt);
    EXPECT_EQ(kvnutils::toURLArray(info), std::nullopt);
    EXPECT_EQ(kvnutils::firstURL(info), std::nullopt);
    EXPECT_EQ(kvnutils::toXMLElementArray(info), std::nullopt);
    EXPECT_THAT(capture.lines(),
                ElementsAre(MatchesRegex("🚩 NSDraggingInfo\\.cpp:toURLArray\\(\\):[0-9]+:"
                                         "Failed to convert draggingPasteboard to string array"),
                            MatchesRegex("🚩 NSDraggingInfo\\.cpp:toURLArray\\(\\):[0-9]+:"
                                         "Failed to convert draggingPasteboard to string array"),
                            MatchesRegex("🚩 NSDraggingInfo\\.cpp:toXMLElementArray\\(\\):[0-9]+:"
                                         "No pasteboard items")));
}

TEST(NSDraggingInfo, XmlElementsAreTheRootsOfTheStringsThatParse) {
    const auto info = dropOfStrings(
        {"<fcpxml version=\"1.10\"><project name=\"A\"/></fcpxml>", "<fcpxml><broken>"});
    koltutils::ScopedLogCapture capture;
    const auto roots = kvnutils::toXMLElementArray(info);
    ASSERT_TRUE(roots);
    ASSERT_EQ(roots->size(), 1u);
    EXPECT_EQ(roots->front()->name(), "fcpxml");
    EXPECT_THAT(capture.lines(), IsEmpty());
}

} // namespace
