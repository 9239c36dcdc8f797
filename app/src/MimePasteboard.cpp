#include "MimePasteboard.h"

#include <QMimeData>
#include <QUrl>
#include <kvnutils/FileNameList.h>
#include <kvnutils/PasteboardTypes.h>

namespace velotrack {

namespace {

const QString textMimeType = QStringLiteral("text/plain;charset=utf-8");
const QString privatePrefix = QStringLiteral("application/x-");

std::vector<std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size()};
}

} // namespace

QString mimeTypeOf(std::string_view pasteboardType) {
    const auto type =
        QString::fromUtf8(pasteboardType.data(), static_cast<qsizetype>(pasteboardType.size()));
    if (type == QString::fromUtf8(platform::Pasteboard::stringType.data())) {
        return textMimeType;
    }
    return privatePrefix + type;
}

platform::MemoryPasteboard pasteboardFromMimeData(const QMimeData& mimeData) {
    platform::MemoryPasteboard pasteboard;
    platform::MemoryPasteboardItem* content = nullptr;
    if (mimeData.hasUrls()) {
        std::vector<std::string> paths;
        for (const auto& url : mimeData.urls()) {
            auto& item = pasteboard.addItem(url.toString().toStdString());
            if (url.isLocalFile()) {
                const auto path = url.toLocalFile().toStdString();
                item.setString(platform::Pasteboard::stringType, path);
                item.setString(platform::Pasteboard::fileURLType, url.toEncoded().toStdString());
                paths.push_back(path);
            } else {
                item.setString(platform::Pasteboard::stringType, url.toString().toStdString());
                item.setString(platform::Pasteboard::urlType, url.toEncoded().toStdString());
            }
        }
        if (!paths.empty()) {
            pasteboard.pasteboardEntries().setData(kvnutils::PasteboardTypes::filenames,
                                                   kvnutils::fileNameListData(paths));
        }
        content = &pasteboard.pasteboardEntries();
    } else if (mimeData.hasText()) {
        content = &pasteboard.addItem("text");
        content->setString(platform::Pasteboard::stringType, mimeData.text().toStdString());
    }
    // The editor's own types travel beside the text or the URLs.
    for (const auto& format : mimeData.formats()) {
        if (format.startsWith(privatePrefix)) {
            if (!content) {
                content = &pasteboard.addItem("data");
            }
            content->setData(format.mid(privatePrefix.size()).toStdString(),
                             bytesOf(mimeData.data(format)));
        }
    }
    return pasteboard;
}

} // namespace velotrack
