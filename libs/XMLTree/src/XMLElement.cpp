#include "xmltree/XMLElement.h"

#include "NameTable.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <mutex>
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

// A child refers to its parent by plain address, and the last owner of the parent may let go
// of it on one thread while another reads a child it holds. A reader follows the address only
// under the lock of the parent's stripe, and a parent clears its children's addresses under
// that same lock before it goes away, so no reader ever follows the address of a parent that
// is gone. Stripes rather than one lock, so that readers of different parents rarely meet.
struct alignas(64) Stripe {
    std::mutex lock;
};
constinit std::array<Stripe, 64> stripes;

std::mutex& stripeOf(const XMLElement* parent) noexcept {
    const auto address = reinterpret_cast<std::uintptr_t>(parent);
    return stripes[(address >> 4 ^ address >> 10) % stripes.size()].lock;
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
const std::vector<XMLElement::Ptr> XMLElement::noChildren{};

// The tags need the low bits of a name's address free, and room for every error code.
static_assert(alignof(std::string) > 4);
static_assert(XMLError::cases.size() <= 3);

XMLElement::XMLElement(ConstructionKey, std::string name, std::optional<std::string> value,
                       Attributes attributes, std::optional<XMLErrorCode> error)
    : attributes_(std::move(attributes)) {
    setValue(std::move(value));
    const std::string* shared = detail::sharedName(name);
    name_ = shared != nullptr
                ? reinterpret_cast<std::uintptr_t>(shared)
                : reinterpret_cast<std::uintptr_t>(new std::string(std::move(name))) | ownsNameBit;
    if (error) {
        name_ |= (static_cast<std::uintptr_t>(*error) + 1) << errorShift;
    }
}

XMLElement::~XMLElement() {
    releaseSubtrees(takeChildren());
    if ((name_ & ownsNameBit) != 0) {
        delete &name();
    }
}

XMLElement::Ptr XMLElement::parent() const noexcept {
    XMLElement* const parentElement = parent_.load(std::memory_order_relaxed);
    if (parentElement == nullptr) {
        return nullptr;
    }
    const std::lock_guard guard(stripeOf(parentElement));
    // Cleared meanwhile: the parent is going away or let this element go. Otherwise the parent
    // cannot finish going away while the lock is held; once its last owner has let go, the
    // lock below yields null.
    if (parent_.load(std::memory_order_relaxed) != parentElement) {
        return nullptr;
    }
    return parentElement->weak_from_this().lock();
}

void XMLElement::setValue(std::optional<std::string> value) {
    value_ = value ? std::make_unique<std::optional<std::string>>(std::move(value)) : nullptr;
}

void XMLElement::removeAllChildren() noexcept {
    releaseSubtrees(takeChildren());
}

namespace {
// The elements whose release is under way on this thread, while an outermost release runs.
thread_local constinit std::vector<XMLElement::Ptr>* releasing = nullptr;
} // namespace

// An explicit stack instead of one destructor per level, so that a deep tree cannot exhaust the
// call stack: the outermost release on a thread drops the elements one by one, and the
// destructor of each one that goes away hands its children to that same stack instead of
// dropping them itself. Whether an element goes away is left to its reference count, whose
// atomic release orders every earlier read by other owners before the destructor's writes. The
// elements given have no parent any more. Should the stack fail to grow, the children are
// dropped at once, one level deeper.
void XMLElement::releaseSubtrees(std::vector<Ptr> children) noexcept {
    if (children.empty()) {
        return;
    }
    if (releasing != nullptr) {
        try {
            releasing->reserve(releasing->size() + children.size());
        } catch (...) {
            return;
        }
        std::ranges::move(children, std::back_inserter(*releasing));
        return;
    }
    std::vector<Ptr> pending = std::move(children);
    releasing = &pending;
    while (!pending.empty()) {
        Ptr element = std::move(pending.back());
        pending.pop_back();
        element.reset();
    }
    releasing = nullptr;
}

std::optional<std::string_view>
XMLElement::attribute(std::string_view attributeName) const noexcept {
    return attributes_.find(attributeName);
}

XMLElement::Ptr XMLElement::child(std::string_view childName) const {
    if (Ptr found = firstNamed(children(), childName)) {
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
    std::ranges::copy_if(parentElement->children(), std::back_inserter(namesakes), named(name()));
    return namesakes;
}

XMLElement::Ptr XMLElement::first() const {
    Ptr parentElement = parent();
    return parentElement ? firstNamed(parentElement->children(), name()) : nullptr;
}

XMLElement::Ptr XMLElement::last() const {
    Ptr parentElement = parent();
    if (!parentElement) {
        return nullptr;
    }
    // Reverse iterators rather than a reversed view: clang 14 cannot use libstdc++ 12's views.
    const auto& siblings = parentElement->children();
    const auto found = std::find_if(siblings.rbegin(), siblings.rend(), named(name()));
    return found == siblings.rend() ? nullptr : *found;
}

std::size_t XMLElement::count() const {
    Ptr parentElement = parent();
    return parentElement ? static_cast<std::size_t>(
                               std::ranges::count_if(parentElement->children(), named(name())))
                         : 0;
}

// Depth-first pre-order over the elements below this one. `visit` returns true to stop. The
// stack holds one frame per open level, on the heap.
template <typename Visit> void XMLElement::visitDescendants(Visit&& visit) const {
    std::vector<std::pair<const XMLElement*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [element, nextIndex] = stack.back();
        if (nextIndex == element->children().size()) {
            stack.pop_back();
            continue;
        }
        const Ptr& descendant = element->children()[nextIndex++];
        if (visit(descendant)) {
            return;
        }
        if (descendant->children_) {
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
    std::vector<Ptr>& children = childList();
    children.reserve(children.size() + elements.size());
    for (Ptr& element : elements) {
        element->parent_.store(this, std::memory_order_relaxed);
        children.push_back(std::move(element));
    }
}

XMLElement::Ptr XMLElement::addChild(std::string childName, std::optional<std::string> childValue,
                                     Attributes childAttributes) {
    Ptr element = create(std::move(childName), std::move(childValue), std::move(childAttributes));
    element->parent_.store(this, std::memory_order_relaxed);
    childList().push_back(element);
    return element;
}

std::vector<XMLElement::Ptr> XMLElement::takeChildren() noexcept {
    if (!children_) {
        return {};
    }
    {
        const std::lock_guard guard(stripeOf(this));
        for (const Ptr& child : *children_) {
            child->parent_.store(nullptr, std::memory_order_relaxed);
        }
    }
    std::vector<Ptr> taken = std::move(*children_);
    children_.reset();
    return taken;
}

std::vector<XMLElement::Ptr>& XMLElement::childList() {
    if (!children_) {
        children_ = std::make_unique<std::vector<Ptr>>();
    }
    return *children_;
}

} // namespace xmltree
