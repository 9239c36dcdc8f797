#pragma once

#include <cstdint>
#include <koltutils/URL.h>
#include <optional>
#include <span>

namespace kvnfcpx {

// Turns the bytes of a file bookmark (as Final Cut Pro stores them, base64-decoded) into the
// location it points to. On macOS this is the platform's security-scoped bookmark resolution;
// here `platform()` reads the path recorded inside the bookmark data. Tests inject their own.
class BookmarkResolver {
public:
    virtual ~BookmarkResolver() = default;

    // The bookmarked location, or nothing when the data cannot be resolved.
    [[nodiscard]] virtual std::optional<koltutils::URL>
    resolve(std::span<const std::uint8_t> bookmarkData) const = 0;

    // The resolver for this machine; stateless, shared by every load.
    static const BookmarkResolver& platform();
};

// Reads the path that a macOS bookmark records: the bookmark's table of contents points at an
// array of UTF-8 path components. Validates every offset; any inconsistency yields nothing.
class RecordedPathBookmarkResolver final : public BookmarkResolver {
public:
    [[nodiscard]] std::optional<koltutils::URL>
    resolve(std::span<const std::uint8_t> bookmarkData) const override;
};

} // namespace kvnfcpx
