#pragma once

#include <memory>
#include <optional>
#include <string>

namespace xmltree {
class XMLElement;
} // namespace xmltree

namespace kvnfcpx {

// A "media" resource: the inner timeline of a compound clip or a multicam clip.
struct Media {
    std::string id{};
    std::optional<std::string> uid{};
    std::optional<std::string> name{};
    // The media element's first child element (normally "sequence" or "multicam"), shared
    // with the description's document; null when the media element has no child. Part of the
    // element tree, so, like the description's document, it takes no part in equality.
    std::shared_ptr<xmltree::XMLElement> child{};

    friend bool operator==(const Media& lhs, const Media& rhs) noexcept {
        return lhs.id == rhs.id && lhs.uid == rhs.uid && lhs.name == rhs.name;
    }
};

} // namespace kvnfcpx
