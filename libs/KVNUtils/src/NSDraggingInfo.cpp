#include "kvnutils/NSDraggingInfo.h"

#include "PropertyList.h"
#include "kvnutils/FileNameList.h"
#include "kvnutils/PasteboardTypes.h"

#include <filesystem>
#include <koltutils/Log.h>
#include <xmltree/XMLDocument.h>
#include <xmltree/XMLError.h>

namespace kvnutils {

std::optional<std::vector<std::string>> stringArray(const platform::DraggingInfo& info) {
    const auto& pasteboard = info.draggingPasteboard();
    std::vector<std::string> strings;
    for (const auto& item : pasteboard.items()) {
        if (auto text = item->string(platform::Pasteboard::stringType)) {
            strings.push_back(std::move(*text));
        }
    }
    if (!strings.empty()) {
        return strings;
    }
    for (const auto& type : PasteboardTypes::stringDropTypes()) {
        const auto data = pasteboard.data(type);
        if (!data) {
            continue;
        }
        if (auto list = detail::stringListPropertyList(*data)) {
            strings.insert(strings.end(), std::make_move_iterator(list->begin()),
                           std::make_move_iterator(list->end()));
        }
    }
    if (strings.empty()) {
        return std::nullopt;
    }
    return strings;
}

std::optional<std::vector<koltutils::URL>> toURLArray(const platform::DraggingInfo& info) {
    const auto strings = stringArray(info);
    if (!strings) {
        KOLT_LOG_ERROR("toURLArray()", "Failed to convert draggingPasteboard to string array");
        return std::nullopt;
    }
    std::vector<koltutils::URL> urls;
    for (const auto& string : *strings) {
        if (string.starts_with('{')) {
            KOLT_LOG_ERROR("toURLArray()", "JSON found in URL array:\n", string);
            continue;
        }
        if (string.starts_with("http")) {
            if (auto url = koltutils::URL::fromString(string)) {
                urls.push_back(std::move(*url));
            }
            continue;
        }
        std::error_code error;
        if (std::filesystem::exists(string, error)) {
            urls.push_back(koltutils::URL::fileURL(string));
        }
    }
    return urls;
}

std::optional<koltutils::URL> firstURL(const platform::DraggingInfo& info) {
    auto urls = toURLArray(info);
    if (!urls || urls->empty()) {
        return std::nullopt;
    }
    return std::move(urls->front());
}

std::optional<std::vector<xmltree::XMLElement::Ptr>>
toXMLElementArray(const platform::DraggingInfo& info) {
    const auto strings = stringArray(info);
    if (!strings) {
        KOLT_LOG_ERROR("toXMLElementArray()", "No pasteboard items");
        return std::nullopt;
    }
    std::vector<xmltree::XMLElement::Ptr> roots;
    for (const auto& string : *strings) {
        try {
            roots.push_back(
                xmltree::XMLDocument::fromText(string, xmltree::XMLOptions::standard())->root());
        } catch (const xmltree::XMLError&) {
            // Text that is not XML is simply not part of an XML drop.
        }
    }
    return roots;
}

std::vector<std::uint8_t> fileNameListData(const std::vector<std::string>& paths) {
    return detail::stringListPropertyListData(paths);
}

} // namespace kvnutils
