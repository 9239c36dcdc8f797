#include "platform/MemoryPasteboard.h"

#include <algorithm>

namespace platform {

namespace {

std::optional<std::string> textOf(const std::optional<std::vector<std::uint8_t>>& bytes) {
    if (!bytes) {
        return std::nullopt;
    }
    return std::string(bytes->begin(), bytes->end());
}

} // namespace

MemoryPasteboardItem::Entry& MemoryPasteboardItem::entry(std::string_view type) {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& candidate) {
        return candidate.first == type;
    });
    if (found != entries_.end()) {
        return *found;
    }
    return entries_.emplace_back(std::string(type), std::nullopt);
}

void MemoryPasteboardItem::setData(std::string_view type, std::vector<std::uint8_t> bytes) {
    entry(type).second = std::move(bytes);
}

void MemoryPasteboardItem::setString(std::string_view type, std::string_view text) {
    setData(type, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void MemoryPasteboardItem::declareType(std::string_view type) {
    entry(type);
}

std::vector<std::string> MemoryPasteboardItem::types() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const auto& [type, bytes] : entries_) {
        result.push_back(type);
    }
    return result;
}

std::optional<std::vector<std::uint8_t>> MemoryPasteboardItem::data(std::string_view type) const {
    for (const auto& [candidate, bytes] : entries_) {
        if (candidate == type) {
            return bytes;
        }
    }
    return std::nullopt;
}

std::optional<std::string> MemoryPasteboardItem::string(std::string_view type) const {
    return textOf(data(type));
}

MemoryPasteboardItem& MemoryPasteboard::addItem(std::string description) {
    return *items_.emplace_back(std::make_shared<MemoryPasteboardItem>(std::move(description)));
}

std::vector<std::string> MemoryPasteboard::types() const {
    std::vector<std::string> result;
    const auto append = [&](const MemoryPasteboardItem& item) {
        for (auto& type : item.types()) {
            if (std::find(result.begin(), result.end(), type) == result.end()) {
                result.push_back(std::move(type));
            }
        }
    };
    for (const auto& item : items_) {
        append(*item);
    }
    append(*pasteboardWide_);
    return result;
}

std::optional<std::vector<std::uint8_t>> MemoryPasteboard::data(std::string_view type) const {
    for (const auto& item : items_) {
        if (auto bytes = item->data(type)) {
            return bytes;
        }
    }
    return pasteboardWide_->data(type);
}

std::optional<std::string> MemoryPasteboard::string(std::string_view type) const {
    return textOf(data(type));
}

std::vector<std::shared_ptr<const PasteboardItem>> MemoryPasteboard::items() const {
    return {items_.begin(), items_.end()};
}

} // namespace platform
