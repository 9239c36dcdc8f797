#pragma once

#include "xmltree/XMLAttributes.h"
#include "xmltree/XMLError.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace xmltree {

namespace detail {
class TreeBuilder;
}

/// One element of an XML tree. Elements are shared: a parent owns its children through
/// std::shared_ptr and each child refers back to its parent without owning it, so holding any
/// element keeps its subtree alive but not its ancestors. A parent that goes away, or lets a
/// child go, first tells the child, which then has no parent.
///
/// Error policy: nothing here throws on a miss. Looking up a child that is not there yields a
/// new detached element carrying the error `elementNotFound`, so chains of look-ups never fail
/// and the miss shows up as an absent `first()`.
///
/// Every walk (the descendant searches and the destructor) keeps its own stack on the heap, so
/// a tree of any depth is searched and released without deep recursion.
///
/// Not synchronised: a tree may be read from several threads at once, but not while it changes.
class XMLElement : public std::enable_shared_from_this<XMLElement> {
protected:
    struct ConstructionKey {
        explicit ConstructionKey() = default;
    };

public:
    using Ptr = std::shared_ptr<XMLElement>;
    using Attributes = XMLAttributes;
    /// Must not change the tree it is walking.
    using Predicate = std::function<bool(const XMLElement&)>;

    /// A new element without parent or children.
    static Ptr create(std::string name, std::optional<std::string> value = std::nullopt,
                      Attributes attributes = {});
    /// A new detached element named `name` that carries `error`.
    static Ptr createError(std::string name, XMLErrorCode error);

    XMLElement(ConstructionKey, std::string name, std::optional<std::string> value,
               Attributes attributes, std::optional<XMLErrorCode> error);
    XMLElement(const XMLElement&) = delete;
    XMLElement& operator=(const XMLElement&) = delete;
    /// Releases the subtree iteratively; see the class comment.
    ~XMLElement();

    const std::string& name() const noexcept {
        return *reinterpret_cast<const std::string*>(name_ & ~nameTagMask);
    }
    const std::optional<std::string>& value() const noexcept {
        return value_ ? *value_ : absentValue;
    }
    void setValue(std::optional<std::string> value);
    const Attributes& attributes() const noexcept { return attributes_; }
    Attributes& attributes() noexcept { return attributes_; }
    /// The attribute's text exactly as written, absent when the element has no such attribute.
    /// A view into the element: it lives as long as the element and its attributes unchanged.
    std::optional<std::string_view> attribute(std::string_view attributeName) const noexcept;
    const std::vector<Ptr>& children() const noexcept {
        return children_ ? *children_ : noChildren;
    }
    /// Null for a top element of a free-standing tree and for detached elements.
    Ptr parent() const noexcept;
    std::optional<XMLErrorCode> error() const noexcept {
        const auto error = static_cast<unsigned>((name_ & errorMask) >> errorShift);
        return error == 0 ? std::nullopt : std::optional(static_cast<XMLErrorCode>(error - 1));
    }

    /// The first direct child named exactly `childName`, or a new detached element of that name
    /// with the error `elementNotFound`. Never null.
    Ptr child(std::string_view childName) const;
    Ptr operator[](std::string_view childName) const { return child(childName); }

    /// The children of this element's parent that share this element's name, in document
    /// order; absent when the element has no parent (every detached error element).
    std::optional<std::vector<Ptr>> all() const;
    /// The first or last of `all()`; null when it is absent or empty. `child(n)->first()` is
    /// the usual presence test for a child named n.
    Ptr first() const;
    Ptr last() const;
    /// The size of `all()`, 0 when absent.
    std::size_t count() const;

    /// The elements below this one (not this one) that satisfy `predicate`, in depth-first
    /// pre-order: each child, then the matches among its own descendants, then the next child.
    std::vector<Ptr> allDescendants(const Predicate& predicate) const;
    /// The first element of allDescendants' order that matches; null when none does.
    Ptr firstDescendant(const Predicate& predicate) const;
    bool hasDescendant(const Predicate& predicate) const;

    /// The value read as a boolean: lower-cased "true" or "1" is true, "false" or "0" false,
    /// anything else (an absent value counts as empty text) is absent.
    std::optional<bool> boolValue() const;
    /// The value read as a decimal integer with an optional sign; absent on any other
    /// character, on empty text and when it does not fit in 64 bits.
    std::optional<std::int64_t> intValue() const;
    /// The value read as a real number: absent unless the whole text is one (an optional sign,
    /// digits with an optional point and exponent, or "inf", "infinity", "nan"); absent too
    /// when its magnitude lies outside the range of double.
    std::optional<double> doubleValue() const;

    /// Appends a new element to this element's children, with this element as its parent, and
    /// returns it.
    Ptr addChild(std::string childName, std::optional<std::string> childValue = std::nullopt,
                 Attributes childAttributes = {});
    /// Moves the children out, in document order, leaving this element without any; each
    /// becomes detached (no parent). A reader that is done with a part of the tree as soon as
    /// it has read it can let that part go piece by piece instead of all at the end.
    std::vector<Ptr> takeChildren() noexcept;

protected:
    /// Drops every child (iteratively), e.g. before a document is read again.
    void removeAllChildren() noexcept;

private:
    friend class detail::TreeBuilder;

    /// Moves `elements` (new, parentless elements) to the end of the children, in one
    /// allocation however many there are.
    void adoptChildren(std::span<Ptr> elements);
    template <typename Visit> void visitDescendants(Visit&& visit) const;
    static void releaseSubtrees(std::vector<Ptr> children) noexcept;
    /// The child list, made when the first child comes.
    std::vector<Ptr>& childList();

    static const std::optional<std::string> absentValue;
    static const std::vector<Ptr> noChildren;

    // A document holds an element per tag, so the fields are laid out for size: the name is
    // shared with every element of that name (see NameTable), the child list and the value
    // (which most elements lack) are boxed, and the error and whether the name is the element's own
    // ride in the low bits of the name's address.
    static constexpr std::uintptr_t ownsNameBit = 1;
    static constexpr std::uintptr_t errorShift = 1;
    /// 0 for none, else the code + 1.
    static constexpr std::uintptr_t errorMask = 3 << errorShift;
    static constexpr std::uintptr_t nameTagMask = ownsNameBit | errorMask;

    /// Cleared (under a lock, see parent()) before the parent goes away or lets this element go.
    std::atomic<XMLElement*> parent_ = nullptr;
    /// Null while there are no children.
    std::unique_ptr<std::vector<Ptr>> children_;
    /// The address of the name, tagged as above.
    std::uintptr_t name_ = 0;
    std::unique_ptr<std::optional<std::string>> value_;
    Attributes attributes_;
};

} // namespace xmltree
