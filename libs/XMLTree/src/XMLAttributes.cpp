#include "xmltree/XMLAttributes.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

namespace xmltree {

namespace {

using Entry = XMLAttributes::value_type;

// Stable, so that equal names keep their order. Elements carry a handful of attributes, which
// an insertion sort orders without the buffer std::stable_sort allocates; long lists (possible
// in hostile documents) still take n log n.
void sortByName(std::span<Entry> entries) {
    constexpr std::size_t shortList = 16;
    if (entries.size() > shortList) {
        std::ranges::stable_sort(entries, {}, &Entry::first);
        return;
    }
    for (std::size_t next = 1; next < entries.size(); ++next) {
        for (std::size_t at = next; at > 0 && entries[at].first < entries[at - 1].first; --at) {
            std::swap(entries[at], entries[at - 1]);
        }
    }
}

// Sorted entries without all but the last of equal names, packed at the front.
std::span<Entry> lastOfEachName(std::span<Entry> sorted) {
    std::size_t kept = 0;
    for (std::size_t index = 0; index < sorted.size(); ++index) {
        const bool overridden =
            index + 1 < sorted.size() && sorted[index + 1].first == sorted[index].first;
        if (!overridden) {
            sorted[kept++] = sorted[index];
        }
    }
    return sorted.first(kept);
}

std::uint32_t checkedSize(std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("XMLAttributes: more than 4 GiB of attribute text on one element");
    }
    return static_cast<std::uint32_t>(size);
}

} // namespace

XMLAttributes::XMLAttributes(std::initializer_list<value_type> entries)
    : XMLAttributes(std::span<const value_type>(entries.begin(), entries.size())) {}

XMLAttributes::XMLAttributes(std::span<const value_type> entries) {
    std::vector<value_type> scratch(entries.begin(), entries.end());
    *this = reordering(scratch);
}

XMLAttributes XMLAttributes::reordering(std::span<value_type> entries) {
    sortByName(entries);
    const std::span<value_type> unique = lastOfEachName(entries);
    XMLAttributes attributes;
    if (unique.empty()) {
        return attributes;
    }
    std::size_t textSize = 0;
    for (const auto& [name, value] : unique) {
        textSize += name.size() + value.size();
    }
    attributes.count_ = checkedSize(unique.size());
    attributes.textSize_ = checkedSize(textSize);
    attributes.block_ =
        std::make_unique_for_overwrite<std::byte[]>(unique.size() * sizeof(Place) + textSize);
    auto* table = reinterpret_cast<Place*>(attributes.block_.get());
    char* text = reinterpret_cast<char*>(table + unique.size());
    std::uint32_t written = 0;
    const auto append = [&](std::string_view part) {
        std::memcpy(text + written, part.data(), part.size());
        written += static_cast<std::uint32_t>(part.size());
        return written;
    };
    for (std::size_t index = 0; index < unique.size(); ++index) {
        const auto& [name, value] = unique[index];
        table[index].nameEnd = append(name);
        table[index].valueEnd = append(value);
    }
    return attributes;
}

XMLAttributes::XMLAttributes(const XMLAttributes& other)
    : count_(other.count_), textSize_(other.textSize_) {
    if (other.block_) {
        const std::size_t size = count_ * sizeof(Place) + textSize_;
        block_ = std::make_unique_for_overwrite<std::byte[]>(size);
        std::memcpy(block_.get(), other.block_.get(), size);
    }
}

XMLAttributes& XMLAttributes::operator=(const XMLAttributes& other) {
    if (this != &other) {
        *this = XMLAttributes(other);
    }
    return *this;
}

const XMLAttributes::Place* XMLAttributes::places() const noexcept {
    return reinterpret_cast<const Place*>(block_.get());
}

std::string_view XMLAttributes::textAt(std::uint32_t start, std::uint32_t end) const noexcept {
    const char* text = reinterpret_cast<const char*>(places() + count_);
    return {text + start, end - start};
}

std::string_view XMLAttributes::nameAt(std::size_t index) const noexcept {
    const std::uint32_t start = index == 0 ? 0 : places()[index - 1].valueEnd;
    return textAt(start, places()[index].nameEnd);
}

XMLAttributes::value_type XMLAttributes::entryAt(std::size_t index) const noexcept {
    const Place& place = places()[index];
    return {nameAt(index), textAt(place.nameEnd, place.valueEnd)};
}

std::size_t XMLAttributes::lowerBound(std::string_view name) const noexcept {
    std::size_t low = 0;
    std::size_t high = count_;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (nameAt(middle) < name) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::optional<std::string_view> XMLAttributes::find(std::string_view name) const noexcept {
    const std::size_t index = lowerBound(name);
    if (index == count_) {
        return std::nullopt;
    }
    const auto [foundName, value] = entryAt(index);
    return foundName == name ? std::optional(value) : std::nullopt;
}

void XMLAttributes::insert_or_assign(std::string_view name, std::string_view value) {
    std::vector<value_type> entries(begin(), end());
    entries.emplace_back(name, value);
    *this = reordering(entries);
}

bool XMLAttributes::erase(std::string_view name) {
    if (!contains(name)) {
        return false;
    }
    std::vector<value_type> entries;
    std::ranges::copy_if(*this, std::back_inserter(entries),
                         [name](const value_type& entry) { return entry.first != name; });
    *this = reordering(entries);
    return true;
}

bool operator==(const XMLAttributes& lhs, const XMLAttributes& rhs) noexcept {
    return std::ranges::equal(lhs, rhs);
}

} // namespace xmltree
