#include "TreeBuilder.h"

#include "Text.h"

#include <utility>

namespace xmltree::detail {

TreeBuilder::TreeBuilder(XMLElement& container, bool trimWhitespace)
    : container_(container), currentParent_(&container), trimWhitespace_(trimWhitespace) {}

void TreeBuilder::startElement(std::string name, XMLElement::Attributes attributes) {
    storePendingText();
    text_.clear();
    XMLElement::Ptr element =
        currentParent_->addChild(std::move(name), std::nullopt, std::move(attributes));
    currentElement_ = element.get();
    currentParent_ = element.get();
}

void TreeBuilder::characters(std::string_view text) {
    // Without a current element the text follows a child element; it can never become a value
    // because the next element start empties the buffer.
    if (currentElement_ != nullptr) {
        text_.append(text);
    }
}

void TreeBuilder::endElement() {
    storePendingText();
    if (trimWhitespace_ && currentElement_ != nullptr && currentElement_->value()) {
        const std::string& value = *currentElement_->value();
        std::string_view trimmed = trimmedWhitespace(value);
        if (trimmed.size() != value.size()) {
            currentElement_->setValue(std::string(trimmed));
        }
    }
    XMLElement::Ptr parent = currentParent_->parent();
    currentParent_ = parent ? parent.get() : &container_;
    currentElement_ = nullptr;
}

void TreeBuilder::finish() {
    storePendingText();
}

void TreeBuilder::storePendingText() {
    if (currentElement_ != nullptr && !text_.empty()) {
        currentElement_->setValue(std::move(text_));
        text_.clear();
    }
}

} // namespace xmltree::detail
