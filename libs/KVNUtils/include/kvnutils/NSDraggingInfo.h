#pragma once

// What a drop carries, read as text, URLs or XML (see NSPasteboard.h for the error policy).

#include <koltutils/URL.h>
#include <optional>
#include <platform/DraggingInfo.h>
#include <string>
#include <vector>
#include <xmltree/XMLElement.h>

namespace kvnutils {

// The text of each item that has some, in item order. Only when no item has text: the entries
// of the string-list property lists under PasteboardTypes::stringDropTypes(), in that order.
// None instead of an empty list.
std::optional<std::vector<std::string>> stringArray(const platform::DraggingInfo& info);

// The dropped strings as URLs: a string beginning with "{" is JSON and logged, one beginning
// with "http" is parsed as a link, any other is a path kept only when something exists there.
// Strings that fit none of these are left out. None (and an error line) without strings.
std::optional<std::vector<koltutils::URL>> toURLArray(const platform::DraggingInfo& info);

// The first of toURLArray(), if any.
std::optional<koltutils::URL> firstURL(const platform::DraggingInfo& info);

// The root element of every dropped string that reads as XML; the others are skipped
// silently. None (and an error line) without strings.
std::optional<std::vector<xmltree::XMLElement::Ptr>>
toXMLElementArray(const platform::DraggingInfo& info);

} // namespace kvnutils
