#pragma once

#include "xmltree/XMLElement.h"

#include <string>
#include <string_view>

namespace xmltree::detail {

/// Turns a reader's element events into children of a container element (the document).
///
/// An element's value is the text read between its start and its first child's start (or its
/// own end). The text is accumulated in one buffer and stored once, when that span ends, so
/// reading stays linear however many pieces the reader splits the text into. Text that follows
/// a child element belongs to no element and is dropped.
class TreeBuilder {
public:
    TreeBuilder(XMLElement& container, bool trimWhitespace);

    void startElement(std::string name, XMLElement::Attributes attributes);
    void characters(std::string_view text);
    void endElement();
    /// Stores text still pending, for a reader that stops inside an element.
    void finish();

private:
    void storePendingText();

    XMLElement& container_;
    XMLElement* currentParent_;
    XMLElement* currentElement_ = nullptr;
    std::string text_;
    bool trimWhitespace_;
};

} // namespace xmltree::detail
