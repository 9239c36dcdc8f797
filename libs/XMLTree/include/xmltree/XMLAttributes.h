#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

namespace xmltree {

namespace detail {
class TreeMemory;
} // namespace detail

/// The attributes of one element: one value per name, iterated in name order.
///
/// All names and values of an element live in one block, after a table of their places sorted
/// by name. Documents carry millions of attributes, a handful per element: one allocation per
/// element (none for an element without attributes) keeps a loaded tree compact, and a look-up
/// is a binary search. A name that recurs across a document (nearly all do) is a number standing
/// for one shared copy instead of its bytes. Editing rebuilds the block, which suits the few
/// edits made by hand.
class XMLAttributes {
public:
    /// Views into the set: valid until it changes or goes away.
    using value_type = std::pair<std::string_view, std::string_view>;

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = XMLAttributes::value_type;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = value_type;

        const_iterator() = default;
        value_type operator*() const noexcept { return owner_->entryAt(index_); }
        value_type operator[](difference_type offset) const noexcept { return *(*this + offset); }
        const_iterator& operator++() noexcept { return *this += 1; }
        const_iterator operator++(int) noexcept { return std::exchange(*this, *this + 1); }
        const_iterator& operator--() noexcept { return *this -= 1; }
        const_iterator operator--(int) noexcept { return std::exchange(*this, *this - 1); }
        const_iterator& operator+=(difference_type offset) noexcept {
            index_ = static_cast<std::size_t>(static_cast<difference_type>(index_) + offset);
            return *this;
        }
        const_iterator& operator-=(difference_type offset) noexcept { return *this += -offset; }
        friend const_iterator operator+(const_iterator at, difference_type offset) noexcept {
            return at += offset;
        }
        friend const_iterator operator+(difference_type offset, const_iterator at) noexcept {
            return at += offset;
        }
        friend const_iterator operator-(const_iterator at, difference_type offset) noexcept {
            return at -= offset;
        }
        friend difference_type operator-(const const_iterator& a,
                                         const const_iterator& b) noexcept {
            return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) noexcept {
            return a.index_ == b.index_;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) noexcept {
            return a.index_ <=> b.index_;
        }

    private:
        friend class XMLAttributes;
        const_iterator(const XMLAttributes* owner, std::size_t index) noexcept
            : owner_(owner), index_(index) {}

        const XMLAttributes* owner_ = nullptr;
        std::size_t index_ = 0;
    };

    XMLAttributes() noexcept = default;
    /// When a name appears more than once, the last value counts.
    XMLAttributes(std::initializer_list<value_type> entries);
    explicit XMLAttributes(std::span<const value_type> entries);
    /// The same, reordering `entries` as scratch space instead of copying them first: for a
    /// reader that gathers each element's attributes in a buffer it reuses.
    /// With `memory`, the set lives in the memory of a tree being read (see detail::TreeMemory).
    static XMLAttributes reordering(std::span<value_type> entries,
                                    detail::TreeMemory* memory = nullptr);
    XMLAttributes(const XMLAttributes& other);
    XMLAttributes(XMLAttributes&& other) noexcept = default;
    XMLAttributes& operator=(const XMLAttributes& other);
    XMLAttributes& operator=(XMLAttributes&& other) noexcept = default;
    ~XMLAttributes() = default;

    /// The value of `name`; absent when there is none.
    std::optional<std::string_view> find(std::string_view name) const noexcept;
    bool contains(std::string_view name) const noexcept { return find(name).has_value(); }
    /// Sets the value of `name`, adding the name when it is new.
    void insert_or_assign(std::string_view name, std::string_view value);
    /// Whether `name` was there.
    bool erase(std::string_view name);

    std::size_t size() const noexcept {
        return block_ ? static_cast<std::size_t>(header().count) : 0;
    }
    bool empty() const noexcept { return !block_; }
    const_iterator begin() const noexcept { return {this, 0}; }
    const_iterator end() const noexcept { return {this, size()}; }

    friend bool operator==(const XMLAttributes& lhs, const XMLAttributes& rhs) noexcept;

private:
    /// The block begins with its sizes, so that a set costs one pointer in its element.
    struct Header {
        std::uint32_t count : 31;
        /// Whether the block lies in a tree's memory rather than on the heap.
        std::uint32_t inTreeMemory : 1;
        std::uint32_t textSize;
    };
    /// Frees a block where it was allocated, as its header says.
    struct BlockDeleter {
        void operator()(std::byte* block) const noexcept;
    };
    /// Where an attribute's name and value end in the text that follows the table. The text
    /// holds each name that is not shared followed by its value, in table order, so an
    /// attribute's text begins where the previous one's value ends (at 0 for the first). A
    /// shared name is its number in the name table with `sharedNameFlag` set, in place of its end.
    /// Stored as two 16-bit halves (the flag in the top bit of the first) when the text is
    /// shorter than 32 KiB, as nearly every element's is, and as two 32-bit words otherwise.
    struct Place {
        std::uint32_t name;
        std::uint32_t valueEnd;
    };
    static constexpr std::uint32_t sharedNameFlag = std::uint32_t{1} << 31;

    const Header& header() const noexcept { return *reinterpret_cast<const Header*>(block_.get()); }
    static std::size_t placeSize(std::uint32_t textSize) noexcept;
    static std::size_t sizeOfBlock(const Header& header) noexcept;
    Place placeAt(std::size_t index) const noexcept;
    const char* text() const noexcept;
    std::uint32_t startOf(std::size_t index) const noexcept;
    std::string_view nameAt(std::size_t index) const noexcept;
    value_type entryAt(std::size_t index) const noexcept;
    std::size_t lowerBound(std::string_view name) const noexcept;
    std::size_t blockSize() const noexcept;

    std::unique_ptr<std::byte[], BlockDeleter> block_;
};

} // namespace xmltree
