#include "xmltree/XMLAttributes.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace xmltree {

namespace {

bool namedBefore(const XMLAttributes::value_type& entry, std::string_view name) noexcept {
    return entry.first < name;
}

// Stable, so that equal names keep their order. Elements carry a handful of attributes, which
// an insertion sort orders without the buffer std::stable_sort allocates; long lists (possible
// in hostile documents) still take n log n.
void sortByName(std::vector<XMLAttributes::value_type>& entries) {
    constexpr std::size_t shortList = 16;
    if (entries.size() > shortList) {
        std::ranges::stable_sort(entries, {}, &XMLAttributes::value_type::first);
        return;
    }
    for (std::size_t next = 1; next < entries.size(); ++next) {
        for (std::size_t at = next; at > 0 && entries[at].first < entries[at - 1].first; --at) {
            std::swap(entries[at], entries[at - 1]);
        }
    }
}

} // namespace

XMLAttributes::XMLAttributes(std::initializer_list<value_type> entries)
    : XMLAttributes(std::vector<value_type>(entries)) {}

// Sorting once and keeping the last of equal names costs n log n, where adding the entries
// one by one would shift the array for each.
XMLAttributes::XMLAttributes(std::vector<value_type> entries) : entries_(std::move(entries)) {
    sortByName(entries_);
    const auto sameName = [](const value_type& a, const value_type& b) {
        return a.first == b.first;
    };
    if (std::ranges::adjacent_find(entries_, sameName) == entries_.end()) {
        return;
    }
    // Reversed, so that unique() keeps the last value of each name.
    std::ranges::reverse(entries_);
    const auto [kept, removed] = std::ranges::unique(entries_, sameName);
    entries_.erase(kept, removed);
    std::ranges::reverse(entries_);
    entries_.shrink_to_fit();
}

std::vector<XMLAttributes::value_type>::iterator
XMLAttributes::lowerBound(std::string_view name) noexcept {
    return std::lower_bound(entries_.begin(), entries_.end(), name, namedBefore);
}

std::vector<XMLAttributes::value_type>::const_iterator
XMLAttributes::lowerBound(std::string_view name) const noexcept {
    return std::lower_bound(entries_.begin(), entries_.end(), name, namedBefore);
}

const std::string* XMLAttributes::find(std::string_view name) const noexcept {
    const auto found = lowerBound(name);
    return found != entries_.end() && found->first == name ? &found->second : nullptr;
}

void XMLAttributes::insert_or_assign(std::string name, std::string value) {
    const auto found = lowerBound(name);
    if (found != entries_.end() && found->first == name) {
        found->second = std::move(value);
        return;
    }
    entries_.emplace(found, std::move(name), std::move(value));
}

bool XMLAttributes::erase(std::string_view name) {
    const auto found = lowerBound(name);
    if (found == entries_.end() || found->first != name) {
        return false;
    }
    entries_.erase(found);
    return true;
}

} // namespace xmltree
