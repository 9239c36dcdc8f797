#include "xmltree/XMLDocument.h"

#include "ExpatReader.h"
#include "Text.h"
#include "TreeBuilder.h"

#include <koltutils/UTF8.h>
#include <utility>

namespace xmltree {

XMLDocument::Ptr XMLDocument::create(XMLOptions options) {
    return std::make_shared<XMLDocument>(ConstructionKey{}, std::move(options));
}

XMLDocument::Ptr XMLDocument::fromBytes(std::span<const std::byte> bytes, XMLOptions options) {
    Ptr document = create(std::move(options));
    document->loadBytes(bytes);
    return document;
}

XMLDocument::Ptr XMLDocument::fromBytes(std::string_view bytes, XMLOptions options) {
    return fromBytes(std::as_bytes(std::span(bytes)), std::move(options));
}

XMLDocument::Ptr XMLDocument::fromText(std::string_view text, XMLOptions options) {
    Ptr document = create(std::move(options));
    document->loadText(text);
    return document;
}

XMLDocument::XMLDocument(ConstructionKey key, XMLOptions options)
    : XMLElement(key, "XMLDocument", std::nullopt, {}, std::nullopt), options_(std::move(options)) {
}

void XMLDocument::loadBytes(std::span<const std::byte> bytes) {
    removeAllChildren();
    detail::TreeBuilder builder(*this, options_.parserSettings.shouldTrimWhitespace);
    detail::readXML(bytes, options_.parserSettings, builder);
}

void XMLDocument::loadBytes(std::string_view bytes) {
    loadBytes(std::as_bytes(std::span(bytes)));
}

void XMLDocument::loadText(std::string_view text) {
    const std::string& encoding = options_.documentHeader.encoding;
    if (!(detail::equalsIgnoringASCIICase(encoding, "utf-8") ||
          detail::equalsIgnoringASCIICase(encoding, "utf8"))) {
        throw XMLError(XMLError::Code::parsingFailed,
                       "text cannot be converted to the encoding \"" + encoding + "\"");
    }
    if (!koltutils::UTF8::isValid(text)) {
        throw XMLError(XMLError::Code::parsingFailed, "the text is not valid UTF-8");
    }
    loadBytes(text);
}

XMLElement::Ptr XMLDocument::root() const {
    if (children().empty()) {
        return createError("Error", XMLErrorCode::rootElementMissing);
    }
    return children().front();
}

} // namespace xmltree
