#pragma once

#include "TreeMemory.h"
#include "xmltree/XMLElement.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace xmltree::detail {

/// Turns a reader's element events into children of a container element (the document).
///
/// An element's value is the text read between its start and its first child's start (or its
/// own end). The text is accumulated in one buffer and stored once, when that span ends, so
/// reading stays linear however many pieces the reader splits the text into. Text that follows
/// a child element belongs to no element and is dropped.
///
/// Children wait in one list until their parent ends and then move into it together, so every
/// element's child list is allocated once, at its final size, instead of growing child by child.
///
/// The elements and their attribute sets live in a TreeMemory of the builder's, which they keep
/// after the builder is gone.
class TreeBuilder {
public:
    TreeBuilder(XMLElement& container, bool trimWhitespace);

    /// Where the reader puts the attribute sets of the elements it starts.
    TreeMemory& memory() noexcept { return memory_; }
    void startElement(std::string name, XMLElement::Attributes attributes);
    void characters(std::string_view text);
    void endElement();
    /// Stores text still pending and hands every element still open to its parent, for a reader
    /// that stops inside an element; then the container holds all that was read.
    void finish();

private:
    struct OpenElement {
        XMLElement* element;
        /// Where its children begin in `waiting_`.
        std::size_t firstChild;
    };

    void storePendingText();
    void trimValue(XMLElement& element) const;
    /// Moves `waiting_` from `firstChild` on into `parent`.
    void adoptWaitingChildren(XMLElement& parent, std::size_t firstChild);

    XMLElement& container_;
    /// The elements' memory, shared by every element read (see TreeMemory).
    TreeMemory memory_;
    /// Elements whose parent has not ended yet, in document order.
    std::vector<XMLElement::Ptr> waiting_;
    std::vector<OpenElement> open_;
    XMLElement* currentElement_ = nullptr;
    std::string text_;
    bool trimWhitespace_;
};

} // namespace xmltree::detail
