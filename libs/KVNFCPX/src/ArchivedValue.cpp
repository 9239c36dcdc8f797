#include "kvnfcpx/ArchivedValue.h"

#include <algorithm>

namespace kvnfcpx {

const ArchivedValue* ArchivedValue::find(const Dictionary& dictionary,
                                         std::string_view key) noexcept {
    const auto entry = std::lower_bound(
        dictionary.begin(), dictionary.end(), key,
        [](const auto& candidate, std::string_view wanted) { return candidate.first < wanted; });
    return entry != dictionary.end() && entry->first == key ? &entry->second : nullptr;
}

} // namespace kvnfcpx
