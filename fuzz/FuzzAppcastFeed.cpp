// The update feed reader: any bytes as a feed, then the choice of its newest item, whose version
// ordering must stay a total order on whatever versions a feed announces.

#include "Appcast.h"
#include "BundleVersion.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <koltutils/DescribedError.h>
#include <string_view>

namespace {

void requireConsistentOrder(std::string_view left, std::string_view right) {
    const auto forward = velotrack::compareBundleVersions(left, right);
    const auto backward = velotrack::compareBundleVersions(right, left);
    if ((forward < 0) != (backward > 0) || (forward == 0) != (backward == 0) ||
        velotrack::compareBundleVersions(left, left) != 0) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto appcast = velotrack::Appcast::parse(text);
        (void)appcast.newestItem();
        for (std::size_t i = 1; i < appcast.items.size() && i < 16; ++i) {
            requireConsistentOrder(appcast.items[i - 1].version, appcast.items[i].version);
        }
    } catch (const koltutils::DescribedError&) {
    }
    // The raw bytes split in two also make a pair of versions, so the ordering is exercised even
    // on inputs that never become a feed.
    const auto half = text.size() / 2;
    requireConsistentOrder(text.substr(0, half), text.substr(half));
    return 0;
}
