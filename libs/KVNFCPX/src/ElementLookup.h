#pragma once

#include <string_view>
#include <xmltree/XMLElement.h>

namespace kvnfcpx::detail {

// The first direct child named exactly `name`, or null. Unlike XMLElement::child() it makes no
// detached element on a miss, which matters on the per-clip path where most look-ups miss.
inline const xmltree::XMLElement* firstChildNamed(const xmltree::XMLElement& element,
                                                  std::string_view name) noexcept {
    for (const auto& child : element.children()) {
        if (child->name() == name) {
            return child.get();
        }
    }
    return nullptr;
}

} // namespace kvnfcpx::detail
