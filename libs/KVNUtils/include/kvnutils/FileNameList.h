#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvnutils {

// The data of the legacy file-name list (PasteboardTypes::filenames) for the given paths: a
// property list array of strings, as a drag source that offers files writes it beside its items.
std::vector<std::uint8_t> fileNameListData(const std::vector<std::string>& paths);

} // namespace kvnutils
