#pragma once

#include <cstdint>
#include <koltutils/URL.h>
#include <optional>

namespace kvnfcpx {

// The "import-options" of a document. Only the library location is read; the two flags keep
// the values Final Cut Pro assumes.
struct ImportOptions {
    // Present only if something existed at that path when the document was read.
    std::optional<koltutils::URL> libraryLocation{};
    std::int64_t copyAssets = 0;
    std::int64_t supressWarnings = 1;

    friend bool operator==(const ImportOptions&, const ImportOptions&) = default;
};

} // namespace kvnfcpx
