#include "MimePasteboard.h"

#include <QMimeData>
#include <QUrl>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <kvnutils/NSDraggingInfo.h>
#include <kvnutils/NSPasteboard.h>
#include <kvnutils/PasteboardTypes.h>

namespace {

using testing::ElementsAre;
using testing::Optional;

TEST(MimePasteboard, UrlDropIsOneItemPerUrlPlusTheFileNameList) {
    QMimeData mimeData;
    mimeData.setUrls({QUrl::fromLocalFile(QStringLiteral("/Projects/Cut 1.fcpxml")),
                      QUrl(QStringLiteral("https://example.com/cut.fcpxml"))});
    const velotrack::MimeDraggingInfo info(mimeData);
    const auto& pasteboard = info.draggingPasteboard();

    ASSERT_EQ(pasteboard.items().size(), 2u);
    EXPECT_THAT(kvnutils::stringArray(info),
                Optional(ElementsAre("/Projects/Cut 1.fcpxml", "https://example.com/cut.fcpxml")));
    EXPECT_EQ(pasteboard.items()[0]->string(platform::Pasteboard::fileURLType),
              "file:///Projects/Cut%201.fcpxml");

    // Without the items' texts the legacy list still names the local file.
    platform::MemoryDraggingInfo listOnly;
    listOnly.pasteboard().pasteboardEntries().setData(
        kvnutils::PasteboardTypes::filenames,
        *pasteboard.data(kvnutils::PasteboardTypes::filenames));
    EXPECT_THAT(kvnutils::stringArray(listOnly), Optional(ElementsAre("/Projects/Cut 1.fcpxml")));
}

TEST(MimePasteboard, EditorTypesMapToMimeTypesOneToOne) {
    EXPECT_EQ(velotrack::mimeTypeOf("com.apple.finalcutpro.xml.v1-10"),
              "application/x-com.apple.finalcutpro.xml.v1-10");
    EXPECT_EQ(velotrack::mimeTypeOf("public.utf8-plain-text"), "text/plain;charset=utf-8");

    QMimeData mimeData;
    mimeData.setData(velotrack::mimeTypeOf("com.apple.finalcutpro.xml.v1-9"), "<fcpxml/>");
    mimeData.setText(QStringLiteral("Clip"));
    const auto pasteboard = velotrack::pasteboardFromMimeData(mimeData);
    ASSERT_EQ(pasteboard.items().size(), 1u);
    EXPECT_EQ(pasteboard.string(platform::Pasteboard::stringType), "Clip");
    const auto data = kvnutils::fcpxmlData(pasteboard);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data->begin(), data->end()), "<fcpxml/>");
}

} // namespace
