#include "xmltree/XMLElement.h"

#include "NameTable.h"
#include "Text.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <ranges>
#include <system_error>
#include <utility>

namespace xmltree {

namespace {

// Skips a leading '+' (which std::from_chars does not accept) unless a second sign follows.
std::optional<std::string_view> withoutPlusSign(std::string_view text) noexcept {
    if (!text.starts_with('+')) {
        return text;
    }
    text.remove_prefix(1);
    if (text.starts_with('-') || text.starts_with('+')) {
        return std::nullopt;
    }
    return text;
}

template <typename Number> std::optional<Number> wholeNumber(std::string_view text) noexcept {
    std::optional<std::string_view> unsignedText = withoutPlusSign(text);
    if (!unsignedText || unsignedText->empty()) {
        return std::nullopt;
    }
    Number number{};
    const char* end = unsignedText->data() + unsignedText->size();
    auto [stop, error] = std::from_chars(unsignedText->data(), end, number);
    if (error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return number;
}

// An absent value reads as empty text.
std::string_view textOf(const std::optional<std::string>& value) noexcept {
    return value ? std::string_view(*value) : std::string_view();
}

auto named(std::string_view name) {
    return [name](const XMLElement::Ptr& element) { return element->name() == name; };
}

template <typename Range> XMLElement::Ptr firstNamed(Range&& elements, std::string_view name) {
    auto found = std::ranges::find_if(elements, named(name));
    return found == std::ranges::end(elements) ? nullptr : *found;
}

} // namespace

XMLElement::Ptr XMLElement::create(std::string name, std::optional<std::string> value,
                                   Attributes attributes) {
    return std::make_shared<XMLElement>(ConstructionKey{}, std::move(name), std::move(value),
                                        std::move(attributes), std::nullopt);
}

XMLElement::Ptr XMLElement::createError(std::string name, XMLErrorCode error) {
    return std::make_shared<XMLElement>(ConstructionKey{}, std::move(name), std::nullopt,
                                        Attributes{}, error);
}

const std::optional<std::string> XMLElement::absentValue{};

XMLElement::XMLElement(ConstructionKey, std::string name, std::optional<std::string> value,
                       Attributes attributes, std::optional<XMLErrorCode> error)
    : name_(detail::sharedName(name)), attributes_(std::move(attributes)),
      error_(error ? static_cast<std::uint8_t>(static_cast<unsigned>(*error) + 1) : 0) {
    setValue(std::move(value));
    if (name_ == nullptr) {
        name_ = new std::string(std::move(name));
        ownsName_ = true;
    }
}

XMLElement::~XMLElement() {
    releaseSubtrees(std::move(children_));
    if (ownsName_) {
        delete name_;
    }
}

void XMLElement::setValue(std::optional<std::string> value) {
    value_ = value ? std::make_unique<std::optional<std::string>>(std::move(value)) : nullptr;
}

void XMLElement::removeAllChildren() noexcept {
    std::vector<Ptr> removed = std::move(children_);
    children_.clear();
    releaseSubtrees(std::move(removed));
}

// An explicit stack instead of one destructor per level, so that a deep tree cannot exhaust
// the call stack. An element someone else still holds keeps its children. Should the stack
// fail to grow, the element's own destructor takes over its subtree.
void XMLElement::releaseSubtrees(std::vector<Ptr> pending) noexcept {
    while (!pending.empty()) {
        Ptr element = std::move(pending.back());
        pending.pop_back();
        if (element.use_count() != 1 || element->children_.empty()) {
            continue;
        }
        try {
            pending.reserve(pending.size() + element->children_.size());
        } catch (...) {
            continue;
        }
        std::ranges::move(element->children_, std::back_inserter(pending));
        element->children_.clear();
    }
}

std::optional<std::string_view>
XMLElement::attribute(std::string_view attributeName) const noexcept {
    return attributes_.find(attributeName);
}

XMLElement::Ptr XMLElement::child(std::string_view childName) const {
    if (Ptr found = firstNamed(children_, childName)) {
        return found;
    }
    return createError(std::string(childName), XMLErrorCode::elementNotFound);
}

std::optional<std::vector<XMLElement::Ptr>> XMLElement::all() const {
    Ptr parentElement = parent();
    if (!parentElement) {
        return std::nullopt;
    }
    std::vector<Ptr> namesakes;
    std::ranges::copy_if(parentElement->children_, std::back_inserter(namesakes), named(*name_));
    return namesakes;
}

XMLElement::Ptr XMLElement::first() const {
    Ptr parentElement = parent();
    return parentElement ? firstNamed(parentElement->children_, *name_) : nullptr;
}

XMLElement::Ptr XMLElement::last() const {
    Ptr parentElement = parent();
    if (!parentElement) {
        return nullptr;
    }
    // Reverse iterators rather than a reversed view: clang 14 cannot use libstdc++ 12's views.
    const auto& siblings = parentElement->children_;
    const auto found = std::find_if(siblings.rbegin(), siblings.rend(), named(*name_));
    return found == siblings.rend() ? nullptr : *found;
}

std::size_t XMLElement::count() const {
    Ptr parentElement = parent();
    return parentElement ? static_cast<std::size_t>(
                               std::ranges::count_if(parentElement->children_, named(*name_)))
                         : 0;
}

// Depth-first pre-order over the elements below this one. `visit` returns true to stop. The
// stack holds one frame per open level, on the heap.
template <typename Visit> void XMLElement::visitDescendants(Visit&& visit) const {
    std::vector<std::pair<const XMLElement*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [element, nextIndex] = stack.back();
        if (nextIndex == element->children_.size()) {
            stack.pop_back();
            continue;
        }
        const Ptr& descendant = element->children_[nextIndex++];
        if (visit(descendant)) {
            return;
        }
        if (!descendant->children_.empty()) {
            stack.emplace_back(descendant.get(), 0);
        }
    }
}

std::vector<XMLElement::Ptr> XMLElement::allDescendants(const Predicate& predicate) const {
    std::vector<Ptr> matches;
    visitDescendants([&](const Ptr& element) {
        if (predicate(*element)) {
            matches.push_back(element);
        }
        return false;
    });
    return matches;
}

XMLElement::Ptr XMLElement::firstDescendant(const Predicate& predicate) const {
    Ptr match;
    visitDescendants([&](const Ptr& element) {
        if (predicate(*element)) {
            match = element;
        }
        return match != nullptr;
    });
    return match;
}

bool XMLElement::hasDescendant(const Predicate& predicate) const {
    return firstDescendant(predicate) != nullptr;
}

std::optional<bool> XMLElement::boolValue() const {
    std::string_view text = textOf(value());
    if (text == "1" || detail::equalsIgnoringASCIICase(text, "true")) {
        return true;
    }
    if (text == "0" || detail::equalsIgnoringASCIICase(text, "false")) {
        return false;
    }
    return std::nullopt;
}

std::optional<std::int64_t> XMLElement::intValue() const {
    return wholeNumber<std::int64_t>(textOf(value()));
}

std::optional<double> XMLElement::doubleValue() const {
    return wholeNumber<double>(textOf(value()));
}

void XMLElement::adoptChildren(std::span<Ptr> elements) {
    children_.reserve(children_.size() + elements.size());
    const std::weak_ptr<XMLElement> self = weak_from_this();
    for (Ptr& element : elements) {
        element->parent_ = self;
        children_.push_back(std::move(element));
    }
}

XMLElement::Ptr XMLElement::addChild(std::string childName, std::optional<std::string> childValue,
                                     Attributes childAttributes) {
    Ptr element = create(std::move(childName), std::move(childValue), std::move(childAttributes));
    element->parent_ = weak_from_this();
    children_.push_back(element);
    return element;
}

std::vector<XMLElement::Ptr> XMLElement::takeChildren() noexcept {
    std::vector<Ptr> taken = std::move(children_);
    children_.clear();
    for (const Ptr& element : taken) {
        element->parent_.reset();
    }
    return taken;
}

} // namespace xmltree
