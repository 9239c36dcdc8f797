#pragma once

#include "platform/DraggingInfo.h"
#include "platform/Pasteboard.h"
#include "platform/PasteboardItem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// An item held in memory. A type may be declared without data, as a lazy provider that fails
// to deliver would leave it.
class MemoryPasteboardItem final : public PasteboardItem {
public:
    explicit MemoryPasteboardItem(std::string description = "PasteboardItem")
        : description_(std::move(description)) {}

    // Replaces the type's data when already declared, else appends the type.
    void setData(std::string_view type, std::vector<std::uint8_t> bytes);
    void setString(std::string_view type, std::string_view text);
    void declareType(std::string_view type);

    std::vector<std::string> types() const override;
    std::optional<std::vector<std::uint8_t>> data(std::string_view type) const override;
    std::optional<std::string> string(std::string_view type) const override;
    std::string description() const override { return description_; }

private:
    using Entry = std::pair<std::string, std::optional<std::vector<std::uint8_t>>>;
    Entry& entry(std::string_view type);

    std::string description_;
    std::vector<Entry> entries_;
};

// A pasteboard held in memory: items, plus pasteboard-wide entries that belong to no item (the
// legacy file-name list a drop carries beside its items).
class MemoryPasteboard final : public Pasteboard {
public:
    MemoryPasteboardItem& addItem(std::string description = "PasteboardItem");
    MemoryPasteboardItem& pasteboardEntries() { return *pasteboardWide_; }

    // Every item's types in order of first appearance, then the pasteboard-wide ones.
    std::vector<std::string> types() const override;
    std::optional<std::vector<std::uint8_t>> data(std::string_view type) const override;
    std::optional<std::string> string(std::string_view type) const override;
    std::vector<std::shared_ptr<const PasteboardItem>> items() const override;

private:
    std::vector<std::shared_ptr<MemoryPasteboardItem>> items_;
    std::shared_ptr<MemoryPasteboardItem> pasteboardWide_ =
        std::make_shared<MemoryPasteboardItem>();
};

// A drop whose pasteboard is held in memory.
class MemoryDraggingInfo final : public DraggingInfo {
public:
    MemoryDraggingInfo() = default;
    explicit MemoryDraggingInfo(MemoryPasteboard pasteboard) : pasteboard_(std::move(pasteboard)) {}

    MemoryPasteboard& pasteboard() { return pasteboard_; }
    const Pasteboard& draggingPasteboard() const override { return pasteboard_; }

private:
    MemoryPasteboard pasteboard_;
};

} // namespace platform
