#pragma once

#include <memory>
#include <optional>
#include <string>
#include <xmltree/XMLElement.h>

namespace kvnfcpx {

// A "media" resource: the inner timeline of a compound clip or a multicam clip.
struct Media {
    std::string id{};
    std::optional<std::string> uid{};
    std::optional<std::string> name{};
    // The media element's first child element (normally "sequence" or "multicam"), shared
    // with the description's document; null when the media element has no child.
    std::shared_ptr<xmltree::XMLElement> child{};

    friend bool operator==(const Media&, const Media&) = default;
};

} // namespace kvnfcpx
