#include "xmltree/XMLAttributes.h"

#include "NameTable.h"
#include "TreeMemory.h"

#include <algorithm>
#include <array>
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

// Sizes and ends share their word with a flag, so they stay below 2 GiB.
std::uint32_t checkedSize(std::size_t size) {
    if (size >= std::size_t{1} << 31) {
        throw std::length_error("XMLAttributes: more than 2 GiB of attribute text on one element");
    }
    return static_cast<std::uint32_t>(size);
}

// Text shorter than this has its places in 16-bit halves; shared names are numbered below 4096,
// so their number fits beside the flag too.
constexpr std::uint32_t narrowLimit = 0x8000;
constexpr std::uint32_t narrowSharedFlag = 0x8000;

} // namespace

XMLAttributes::XMLAttributes(std::initializer_list<value_type> entries)
    : XMLAttributes(std::span<const value_type>(entries.begin(), entries.size())) {}

XMLAttributes::XMLAttributes(std::span<const value_type> entries) {
    std::vector<value_type> scratch(entries.begin(), entries.end());
    *this = reordering(scratch);
}

void XMLAttributes::BlockDeleter::operator()(std::byte* block) const noexcept {
    const Header& header = *reinterpret_cast<const Header*>(block);
    if (header.inTreeMemory != 0) {
        detail::TreeMemory::deallocate(block, sizeOfBlock(header));
    } else {
        delete[] block;
    }
}

XMLAttributes XMLAttributes::reordering(std::span<value_type> entries, detail::TreeMemory* memory) {
    sortByName(entries);
    const std::span<value_type> unique = lastOfEachName(entries);
    XMLAttributes attributes;
    if (unique.empty()) {
        return attributes;
    }
    // Each name's number is looked up once; an element rarely has more than a few dozen.
    constexpr std::size_t usualCount = 32;
    std::array<std::uint32_t, usualCount> usualIndices;
    std::vector<std::uint32_t> manyIndices;
    std::span<std::uint32_t> indices = std::span(usualIndices).first(0);
    if (unique.size() <= usualCount) {
        indices = std::span(usualIndices).first(unique.size());
    } else {
        manyIndices.resize(unique.size());
        indices = manyIndices;
    }
    std::size_t textSize = 0;
    for (std::size_t index = 0; index < unique.size(); ++index) {
        const auto& [name, value] = unique[index];
        indices[index] = detail::sharedNameIndex(detail::NameTable::attributes, name);
        textSize += value.size() + (indices[index] == detail::noSharedName ? name.size() : 0);
    }
    const Header header{.count = checkedSize(unique.size()) & 0x7fff'ffffU,
                        .inTreeMemory = memory != nullptr,
                        .textSize = checkedSize(textSize)};
    const std::size_t placeBytes = placeSize(header.textSize);
    const std::size_t blockBytes = sizeof(Header) + unique.size() * placeBytes + textSize;
    attributes.block_.reset(
        memory != nullptr ? static_cast<std::byte*>(memory->allocate(blockBytes, alignof(Header)))
                          : new std::byte[blockBytes]);
    std::memcpy(attributes.block_.get(), &header, sizeof header);
    std::byte* const table = attributes.block_.get() + sizeof(Header);
    char* const text = reinterpret_cast<char*>(table + unique.size() * placeBytes);
    const auto store = [&](std::size_t index, Place place) {
        std::byte* const at = table + index * placeBytes;
        if (placeBytes == sizeof(Place)) {
            std::memcpy(at, &place, sizeof place);
            return;
        }
        const bool shared = (place.name & sharedNameFlag) != 0;
        const std::array<std::uint16_t, 2> halves{
            static_cast<std::uint16_t>(shared ? (place.name & ~sharedNameFlag) | narrowSharedFlag
                                              : place.name),
            static_cast<std::uint16_t>(place.valueEnd)};
        std::memcpy(at, halves.data(), sizeof halves);
    };
    std::uint32_t written = 0;
    const auto append = [&](std::string_view part) {
        std::memcpy(text + written, part.data(), part.size());
        written += static_cast<std::uint32_t>(part.size());
        return written;
    };
    for (std::size_t index = 0; index < unique.size(); ++index) {
        const auto& [name, value] = unique[index];
        const std::uint32_t nameField =
            indices[index] == detail::noSharedName ? append(name) : indices[index] | sharedNameFlag;
        store(index, {nameField, append(value)});
    }
    return attributes;
}

XMLAttributes::XMLAttributes(const XMLAttributes& other) {
    if (other.block_) {
        // A copy is the holder's own, on the heap, wherever the original lives.
        Header header = other.header();
        header.inTreeMemory = 0;
        const std::size_t size = other.blockSize();
        block_.reset(new std::byte[size]);
        std::memcpy(block_.get(), &header, sizeof header);
        std::memcpy(block_.get() + sizeof header, other.block_.get() + sizeof header,
                    size - sizeof header);
    }
}

XMLAttributes& XMLAttributes::operator=(const XMLAttributes& other) {
    if (this != &other) {
        *this = XMLAttributes(other);
    }
    return *this;
}

std::size_t XMLAttributes::sizeOfBlock(const Header& header) noexcept {
    return sizeof(Header) + static_cast<std::size_t>(header.count) * placeSize(header.textSize) +
           header.textSize;
}

std::size_t XMLAttributes::placeSize(std::uint32_t textSize) noexcept {
    return textSize < narrowLimit ? 2 * sizeof(std::uint16_t) : sizeof(Place);
}

std::size_t XMLAttributes::blockSize() const noexcept {
    return sizeOfBlock(header());
}

XMLAttributes::Place XMLAttributes::placeAt(std::size_t index) const noexcept {
    const std::size_t placeBytes = placeSize(header().textSize);
    const std::byte* const at = block_.get() + sizeof(Header) + index * placeBytes;
    Place place;
    if (placeBytes == sizeof(Place)) {
        std::memcpy(&place, at, sizeof place);
        return place;
    }
    std::array<std::uint16_t, 2> halves;
    std::memcpy(halves.data(), at, sizeof halves);
    const bool shared = (halves[0] & narrowSharedFlag) != 0;
    return {shared ? (halves[0] & ~narrowSharedFlag) | sharedNameFlag : halves[0], halves[1]};
}

const char* XMLAttributes::text() const noexcept {
    return reinterpret_cast<const char*>(block_.get() + sizeof(Header) +
                                         static_cast<std::size_t>(header().count) *
                                             placeSize(header().textSize));
}

std::uint32_t XMLAttributes::startOf(std::size_t index) const noexcept {
    return index == 0 ? 0 : placeAt(index - 1).valueEnd;
}

std::string_view XMLAttributes::nameAt(std::size_t index) const noexcept {
    const std::uint32_t name = placeAt(index).name;
    if ((name & sharedNameFlag) != 0) {
        return detail::sharedNameAt(detail::NameTable::attributes, name & ~sharedNameFlag);
    }
    const std::uint32_t start = startOf(index);
    return {text() + start, name - start};
}

XMLAttributes::value_type XMLAttributes::entryAt(std::size_t index) const noexcept {
    const Place place = placeAt(index);
    const std::uint32_t valueStart =
        (place.name & sharedNameFlag) != 0 ? startOf(index) : place.name;
    return {nameAt(index), {text() + valueStart, place.valueEnd - valueStart}};
}

std::size_t XMLAttributes::lowerBound(std::string_view name) const noexcept {
    std::size_t low = 0;
    std::size_t high = size();
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
    if (index == size()) {
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
