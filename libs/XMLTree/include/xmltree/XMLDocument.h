#pragma once

#include "xmltree/XMLElement.h"
#include "xmltree/XMLOptions.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

namespace xmltree {

/// An XML document: an element named "XMLDocument" whose children are the top-level elements,
/// plus the options it is read with.
///
/// Reading. Each element gets its name, its attributes exactly as written (untrimmed) and as
/// its value the text that precedes its first child element; text after a child element and
/// text inside CDATA sections is not stored. An element without text has no value. With
/// `shouldTrimWhitespace`, the value of an element without child elements loses its leading and
/// trailing whitespace and line breaks when the element ends (whitespace-only text becomes
/// empty text, not absent); the leading text of an element that has children is kept as read.
///
/// Untrusted input. A document that declares any entity (internal or external, general or
/// parameter) is refused with parsingFailed, which rules out entity-expansion attacks and
/// external fetches alike; nothing outside the given bytes is ever read, whatever
/// `shouldResolveExternalEntities` says. Nesting deeper than `parserSettings.maximumDepth` is
/// refused with parsingFailed. Reading takes time and memory linear in the input.
///
/// Errors: loading throws XMLError with code parsingFailed and the reader's reason (line and
/// column included); the elements read before the failure stay in the document.
class XMLDocument : public XMLElement {
public:
    using Ptr = std::shared_ptr<XMLDocument>;

    /// An empty document.
    static Ptr create(XMLOptions options = XMLOptions::standard());
    /// A document read from the bytes of an XML file (the encoding is the file's own).
    static Ptr fromBytes(std::span<const std::byte> bytes,
                         XMLOptions options = XMLOptions::standard());
    static Ptr fromBytes(std::string_view bytes, XMLOptions options = XMLOptions::standard());
    /// A document read from UTF-8 text; see loadText.
    static Ptr fromText(std::string_view text, XMLOptions options = XMLOptions::standard());

    XMLDocument(ConstructionKey key, XMLOptions options);

    const XMLOptions& options() const noexcept { return options_; }

    /// Removes the current children, then reads the bytes into the document.
    void loadBytes(std::span<const std::byte> bytes);
    void loadBytes(std::string_view bytes);
    /// Converts the text (UTF-8) to the header's encoding and reads it. Only "utf-8" (in any
    /// letter case, also written "utf8") is offered; text that is not valid UTF-8, or another
    /// encoding, fails with parsingFailed before anything is read.
    void loadText(std::string_view text);

    /// The first top-level element; a new detached element named "Error" with the error
    /// rootElementMissing when the document has none. Never null.
    XMLElement::Ptr root() const;

private:
    XMLOptions options_;
};

} // namespace xmltree
