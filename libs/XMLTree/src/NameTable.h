#pragma once

#include <string>
#include <string_view>

namespace xmltree::detail {

/// The one shared copy of an element name, for elements to point at instead of each holding
/// its own: a document uses a few dozen names for hundreds of thousands of elements.
///
/// Shared names live as long as the program, so the table is bounded: a name longer than 64
/// bytes, or any new name once the table holds 4096, gets no shared copy (null), and the element
/// keeps its own. Safe to call from several threads at once.
const std::string* sharedName(std::string_view name);

} // namespace xmltree::detail
