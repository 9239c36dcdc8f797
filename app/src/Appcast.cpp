#include "Appcast.h"

#include "BundleVersion.h"
#include "koltutils/DescribedError.h"

#include <QXmlStreamReader>

namespace velotrack {
namespace {

constexpr QStringView sparkleNamespace = u"http://www.andymatuschak.org/xml-namespaces/sparkle";

std::optional<std::string> nonEmpty(const QString& text) {
    const auto trimmed = text.trimmed();
    return trimmed.isEmpty() ? std::nullopt : std::optional(trimmed.toStdString());
}

// Reads one <item>; the reader stands on its start and ends on its end.
AppcastItem readItem(QXmlStreamReader& reader) {
    AppcastItem item;
    std::optional<std::string> link;
    std::optional<std::string> enclosureURL;
    while (reader.readNextStartElement()) {
        const auto name = reader.name();
        const bool sparkle = reader.namespaceUri() == sparkleNamespace;
        if (sparkle && name == u"version") {
            item.version = nonEmpty(reader.readElementText()).value_or("");
        } else if (sparkle && name == u"shortVersionString") {
            item.shortVersionString = nonEmpty(reader.readElementText());
        } else if (!sparkle && name == u"link") {
            link = nonEmpty(reader.readElementText());
        } else if (!sparkle && name == u"enclosure") {
            const auto attributes = reader.attributes();
            enclosureURL = nonEmpty(attributes.value(QStringLiteral("url")).toString());
            if (item.version.empty()) {
                item.version =
                    nonEmpty(
                        attributes.value(sparkleNamespace.toString(), QStringLiteral("version"))
                            .toString())
                        .value_or("");
            }
            if (!item.shortVersionString) {
                item.shortVersionString = nonEmpty(
                    attributes
                        .value(sparkleNamespace.toString(), QStringLiteral("shortVersionString"))
                        .toString());
            }
            reader.skipCurrentElement();
        } else {
            reader.skipCurrentElement();
        }
    }
    item.downloadPage = link ? link : enclosureURL;
    return item;
}

} // namespace

Appcast Appcast::parse(std::string_view xml) {
    QXmlStreamReader reader(QByteArray(xml.data(), static_cast<qsizetype>(xml.size())));
    Appcast appcast;
    if (!reader.readNextStartElement() || reader.name() != u"rss") {
        if (!reader.hasError()) {
            throw koltutils::DescribedError("The update feed is not an RSS document.");
        }
    }
    // Items sit in <channel>; the walk keeps no stack of its own, so deep nesting costs nothing.
    while (!reader.atEnd() && !reader.hasError()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"item" &&
            reader.namespaceUri().isEmpty()) {
            auto item = readItem(reader);
            if (!item.version.empty()) {
                appcast.items.push_back(std::move(item));
            }
        }
    }
    if (reader.hasError()) {
        throw koltutils::DescribedError("The update feed is not well-formed XML (line " +
                                        std::to_string(reader.lineNumber()) + ": " +
                                        reader.errorString().toStdString() + ").");
    }
    return appcast;
}

std::optional<AppcastItem> Appcast::newestItem() const {
    const AppcastItem* newest = nullptr;
    for (const auto& item : items) {
        if (!newest || compareBundleVersions(item.version, newest->version) > 0) {
            newest = &item;
        }
    }
    return newest ? std::optional(*newest) : std::nullopt;
}

} // namespace velotrack
