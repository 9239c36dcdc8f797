#include "kvnutils/NSPasteboard.h"

#include "PropertyList.h"
#include "kvnutils/PasteboardTypes.h"

#include <algorithm>
#include <koltutils/DescribedError.h>
#include <koltutils/Log.h>

namespace kvnutils {

std::optional<std::vector<std::uint8_t>> fcpxmlData(const platform::Pasteboard& pasteboard) {
    const auto offered = pasteboard.types();
    for (const auto& type : PasteboardTypes::fcpxmlTypes()) {
        if (std::find(offered.begin(), offered.end(), type) == offered.end()) {
            continue;
        }
        if (auto bytes = pasteboard.data(type)) {
            return bytes;
        }
    }
    return std::nullopt;
}

xmltree::XMLDocument::Ptr xmlDocument(const platform::Pasteboard& pasteboard) {
    const auto text = pasteboard.string(platform::Pasteboard::stringType);
    if (!text) {
        throw koltutils::DescribedError("Failed to parse pasteboard for XML");
    }
    return xmltree::XMLDocument::fromText(*text, xmltree::XMLOptions::standard());
}

void inspectContents(const platform::Pasteboard& pasteboard) {
    for (const auto& item : pasteboard.items()) {
        KOLT_LOG_DEBUG("inspectContents()", item->description(), item->types());
        const auto data = item->data(PasteboardTypes::proFFPasteboard);
        if (!data) {
            return;
        }
        const auto dump = detail::dumpPropertyList(*data);
        if (dump.error) {
            KOLT_LOG_ERROR("inspectContents()", "Error reading plist: " + *dump.error);
        } else {
            KOLT_LOG_DEBUG("inspectContents()", dump.dictionary);
        }
    }
}

} // namespace kvnutils
