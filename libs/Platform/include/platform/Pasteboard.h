#pragma once

#include "platform/PasteboardItem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A pasteboard (the clipboard, or the pasteboard behind a drop): a list of items and the types
// and data they offer together. Reading only; whoever fills a pasteboard owns its writing side.
class Pasteboard {
public:
    // The platform's own types: text, a file URL, any URL.
    static constexpr std::string_view stringType = "public.utf8-plain-text";
    static constexpr std::string_view fileURLType = "public.file-url";
    static constexpr std::string_view urlType = "public.url";

    virtual ~Pasteboard() = default;

    // Every type offered, each once, in the order of first offer.
    virtual std::vector<std::string> types() const = 0;
    // The data of the first item (or pasteboard-wide entry) offering `type` with data.
    virtual std::optional<std::vector<std::uint8_t>> data(std::string_view type) const = 0;
    // As data(), read as UTF-8 text.
    virtual std::optional<std::string> string(std::string_view type) const = 0;
    virtual std::vector<std::shared_ptr<const PasteboardItem>> items() const = 0;
};

} // namespace platform
