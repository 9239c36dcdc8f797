#include "kvnfcpx/BookmarkResolver.h"

#include "FileLocations.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kvnfcpx {

namespace {

// The layout of a macOS bookmark ("book" data), as far as the recorded path goes. All numbers
// are little-endian 32-bit. After a header whose size is stored at offset 12 comes the data
// area; its first word is the offset of the table of contents. Offsets below are relative to
// the start of the data area. A table of contents holds (key, offset, flags) triples; key
// 0x1004 points at an array item whose elements point at string items, one path component each.
constexpr std::string_view magic = "book";
constexpr std::size_t headerSizeOffset = 12;
constexpr std::uint32_t tocMagic = 0xFFFFFFFE;
constexpr std::size_t tocHeaderSize = 20;
constexpr std::size_t tocEntrySize = 12;
constexpr std::uint32_t pathComponentsKey = 0x1004;
constexpr std::uint32_t stringType = 0x0101;
constexpr std::uint32_t arrayType = 0x0601;
// Real bookmarks chain one or two tables; the bound keeps a crafted cycle from looping.
constexpr int maximumTables = 16;

std::optional<std::uint32_t> wordAt(std::span<const std::uint8_t> bytes, std::size_t position) {
    if (position > bytes.size() || bytes.size() - position < 4) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(bytes[position]) |
           static_cast<std::uint32_t>(bytes[position + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[position + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[position + 3]) << 24;
}

// The data area of a bookmark; every offset is checked before it is followed.
class BookmarkData {
public:
    explicit BookmarkData(std::span<const std::uint8_t> area) : area_(area) {}

    std::optional<std::string> recordedPath() const {
        const auto firstTable = word(0);
        const auto components = firstTable ? pathComponentsItem(*firstTable) : std::nullopt;
        return components ? joinedPath(*components) : std::nullopt;
    }

private:
    std::optional<std::uint32_t> word(std::size_t offset) const { return wordAt(area_, offset); }

    // Searches the chain of tables for the path-components entry; yields its item offset.
    std::optional<std::uint32_t> pathComponentsItem(std::uint32_t tableOffset) const {
        for (int table = 0; table < maximumTables && tableOffset != 0; ++table) {
            const std::size_t base = tableOffset;
            const auto tableMagic = word(base + 4);
            const auto next = word(base + 12);
            const auto count = word(base + 16);
            if (!tableMagic || *tableMagic != tocMagic || !next || !count) {
                return std::nullopt;
            }
            for (std::uint32_t entry = 0; entry < *count; ++entry) {
                const std::size_t entryOffset = base + tocHeaderSize + entry * tocEntrySize;
                const auto key = word(entryOffset);
                if (!key) {
                    return std::nullopt;
                }
                if ((*key & 0x7FFFFFFF) == pathComponentsKey) {
                    return word(entryOffset + 4);
                }
            }
            tableOffset = *next;
        }
        return std::nullopt;
    }

    // The payload of the item at `offset` when the item has the given type.
    std::optional<std::span<const std::uint8_t>> payload(std::size_t offset,
                                                         std::uint32_t type) const {
        const auto length = word(offset);
        const auto itemType = word(offset + 4);
        const std::size_t start = offset + 8;
        if (!length || !itemType || *itemType != type || area_.size() - start < *length) {
            return std::nullopt;
        }
        return area_.subspan(start, *length);
    }

    std::optional<std::string> joinedPath(std::uint32_t arrayOffset) const {
        const auto elements = payload(arrayOffset, arrayType);
        if (!elements || elements->empty() || elements->size() % 4 != 0) {
            return std::nullopt;
        }
        std::string path;
        for (std::size_t i = 0; i < elements->size(); i += 4) {
            const auto componentOffset = wordAt(*elements, i);
            const auto component =
                componentOffset ? payload(*componentOffset, stringType) : std::nullopt;
            if (!component) {
                return std::nullopt;
            }
            path += '/';
            path.append(reinterpret_cast<const char*>(component->data()), component->size());
        }
        return path;
    }

    std::span<const std::uint8_t> area_;
};

std::optional<std::string> recordedPath(std::span<const std::uint8_t> bookmark) {
    if (bookmark.size() < magic.size() ||
        !std::equal(magic.begin(), magic.end(), bookmark.begin(),
                    [](char expected, std::uint8_t byte) {
                        return static_cast<std::uint8_t>(expected) == byte;
                    })) {
        return std::nullopt;
    }
    const auto dataStart = wordAt(bookmark, headerSizeOffset);
    if (!dataStart || *dataStart > bookmark.size()) {
        return std::nullopt;
    }
    return BookmarkData(bookmark.subspan(*dataStart)).recordedPath();
}

} // namespace

const BookmarkResolver& BookmarkResolver::platform() {
    static const RecordedPathBookmarkResolver resolver;
    return resolver;
}

std::optional<koltutils::URL>
RecordedPathBookmarkResolver::resolve(std::span<const std::uint8_t> bookmarkData) const {
    const auto path = recordedPath(bookmarkData);
    if (!path || path->find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return detail::fileURL(*path);
}

} // namespace kvnfcpx
