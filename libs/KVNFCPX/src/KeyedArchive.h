#pragma once

#include "kvnfcpx/ArchivedValue.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kvnfcpx::detail {

// What reading one top-level object of a keyed archive gave.
struct KeyedArchiveReading {
    // The object archived under the key; absent when there is no such key.
    std::optional<ArchivedValue> object;
    // Set, and `object` absent, when the bytes are no keyed archive at all.
    std::optional<std::string> openError;
};

// Reads the object stored under `key` at the top level of a keyed archive (a binary or XML
// property list with "$top" and "$objects", as the platform's keyed archiver writes it). Never
// throws; the work is bounded by the archive's size, whatever its references.
KeyedArchiveReading readKeyedArchiveObject(std::span<const std::uint8_t> archive,
                                           std::string_view key);

} // namespace kvnfcpx::detail
