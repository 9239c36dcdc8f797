#include "TreeBuilder.h"

#include "Text.h"

#include <iterator>
#include <memory>
#include <span>
#include <utility>

namespace xmltree::detail {

TreeBuilder::TreeBuilder(XMLElement& container, bool trimWhitespace)
    : container_(container), trimWhitespace_(trimWhitespace) {}

void TreeBuilder::startElement(std::string name, XMLElement::Attributes attributes) {
    storePendingText();
    text_.clear();
    XMLElement::Ptr element = std::allocate_shared<XMLElement>(
        TreeAllocator<XMLElement>(memory_), XMLElement::ConstructionKey{}, std::move(name),
        std::nullopt, std::move(attributes), std::nullopt);
    currentElement_ = element.get();
    waiting_.push_back(std::move(element));
    open_.push_back({currentElement_, waiting_.size()});
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
    if (open_.empty()) {
        return;
    }
    const OpenElement ended = open_.back();
    open_.pop_back();
    if (currentElement_ == ended.element) {
        trimValue(*ended.element);
    }
    adoptWaitingChildren(*ended.element, ended.firstChild);
    currentElement_ = nullptr;
}

void TreeBuilder::finish() {
    storePendingText();
    while (!open_.empty()) {
        const OpenElement open = open_.back();
        open_.pop_back();
        adoptWaitingChildren(*open.element, open.firstChild);
    }
    adoptWaitingChildren(container_, 0);
    currentElement_ = nullptr;
}

void TreeBuilder::storePendingText() {
    if (currentElement_ != nullptr && !text_.empty()) {
        currentElement_->setValue(std::move(text_));
        text_.clear();
    }
}

void TreeBuilder::trimValue(XMLElement& element) const {
    if (!trimWhitespace_ || !element.value()) {
        return;
    }
    const std::string& value = *element.value();
    const std::string_view trimmed = trimmedWhitespace(value);
    if (trimmed.size() != value.size()) {
        element.setValue(std::string(trimmed));
    }
}

void TreeBuilder::adoptWaitingChildren(XMLElement& parent, std::size_t firstChild) {
    if (firstChild == waiting_.size()) {
        return;
    }
    const auto first = waiting_.begin() + static_cast<std::ptrdiff_t>(firstChild);
    parent.adoptChildren(std::span(first, waiting_.end()));
    waiting_.erase(first, waiting_.end());
}

} // namespace xmltree::detail
