#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One item of a pasteboard: the same content offered under one or more types (type names are
// the editor's uniform type identifiers, "public.utf8-plain-text", "com.apple.finalcutpro.xml").
// Implementations: MemoryPasteboardItem here; the application adapts Qt's QMimeData.
class PasteboardItem {
public:
    virtual ~PasteboardItem() = default;

    // The types the item declares, in its order of preference. A declared type may still
    // answer no data.
    virtual std::vector<std::string> types() const = 0;
    virtual std::optional<std::vector<std::uint8_t>> data(std::string_view type) const = 0;
    // The data of `type` read as UTF-8 text; none when there is no data.
    virtual std::optional<std::string> string(std::string_view type) const = 0;
    // A short text naming the item in diagnostics.
    virtual std::string description() const = 0;
};

} // namespace platform
