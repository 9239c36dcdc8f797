#pragma once

#include <string>
#include <xmltree/XMLElement.h>

namespace kvnfcpx::detail {

// An element written back as XML text, for log lines that show what the parser was looking at.
// The text is made only when the line is written (describe() calls description()), so a debug
// line that the build configuration skips costs nothing.
struct XMLText {
    const xmltree::XMLElement& element;

    // "<name a="1" b="2">value<child/></name>": attributes in the tree's (sorted) order, text
    // and attribute values escaped, elements without value or children self-closed.
    [[nodiscard]] std::string description() const;
};

} // namespace kvnfcpx::detail
