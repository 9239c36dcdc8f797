#pragma once

// FCPXML from a pasteboard (the clipboard, or a drop's pasteboard).
//
// Error policy of KVNUtils' intake: nothing throws except xmlDocument(); missing content gives
// std::nullopt, and the log says why where a caller could not tell.

#include <cstdint>
#include <optional>
#include <platform/Pasteboard.h>
#include <vector>
#include <xmltree/XMLDocument.h>

namespace kvnutils {

// The data of the newest FCPXML type that the pasteboard lists and really delivers: a listed
// type that answers no data is passed over for the next older one. None when no type delivers.
std::optional<std::vector<std::uint8_t>> fcpxmlData(const platform::Pasteboard& pasteboard);

// The pasteboard's text read as an XML document with xmltree::XMLOptions::standard(). A parse
// error is thrown as the XML reader throws it (xmltree::XMLError); a pasteboard without text
// throws koltutils::DescribedError "Failed to parse pasteboard for XML".
xmltree::XMLDocument::Ptr xmlDocument(const platform::Pasteboard& pasteboard);

// Logs, for each item in order, its description and types, then the editor's private
// property list; stops at the first item that has none.
void inspectContents(const platform::Pasteboard& pasteboard);

} // namespace kvnutils
