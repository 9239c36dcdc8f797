#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xmltree {

/// The attributes of one element: one value per name, iterated in name order.
///
/// Held as one sorted array rather than a node-based map: documents carry millions of
/// attributes, a handful per element, and one block per element keeps a loaded tree compact
/// while a look-up still costs a binary search.
class XMLAttributes {
public:
    using value_type = std::pair<std::string, std::string>;
    using const_iterator = std::vector<value_type>::const_iterator;

    XMLAttributes() = default;
    /// When a name appears more than once, the last value counts.
    XMLAttributes(std::initializer_list<value_type> entries);
    explicit XMLAttributes(std::vector<value_type> entries);

    /// The value of `name`, null when there is none. Valid until the set changes.
    const std::string* find(std::string_view name) const noexcept;
    bool contains(std::string_view name) const noexcept { return find(name) != nullptr; }
    /// Sets the value of `name`, adding the name when it is new.
    void insert_or_assign(std::string name, std::string value);
    /// Whether `name` was there.
    bool erase(std::string_view name);

    std::size_t size() const noexcept { return entries_.size(); }
    bool empty() const noexcept { return entries_.empty(); }
    const_iterator begin() const noexcept { return entries_.begin(); }
    const_iterator end() const noexcept { return entries_.end(); }

    friend bool operator==(const XMLAttributes&, const XMLAttributes&) = default;

private:
    std::vector<value_type>::iterator lowerBound(std::string_view name) noexcept;
    std::vector<value_type>::const_iterator lowerBound(std::string_view name) const noexcept;

    std::vector<value_type> entries_;
};

} // namespace xmltree
