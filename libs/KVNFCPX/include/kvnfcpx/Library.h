#pragma once

#include <koltutils/URL.h>
#include <optional>

namespace kvnfcpx {

struct Library {
    // Present only if something existed at that path when the document was read.
    std::optional<koltutils::URL> location{};

    friend bool operator==(const Library&, const Library&) = default;
};

} // namespace kvnfcpx
