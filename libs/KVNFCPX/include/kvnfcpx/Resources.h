#pragma once

#include "kvnfcpx/Asset.h"
#include "kvnfcpx/Effect.h"
#include "kvnfcpx/Format.h"
#include "kvnfcpx/IdIndex.h"
#include "kvnfcpx/Media.h"

#include <koltutils/SharedValue.h>
#include <string_view>
#include <vector>

namespace kvnfcpx {

// The resources of a document, four lists in document order.
struct Resources {
    // Derived look-up tables; see IdIndex. Compared by nothing, so two Resources are equal
    // exactly when their four lists are.
    struct Index {
        IdIndex formats{};
        IdIndex assets{};
        IdIndex media{};
        IdIndex effects{};

        friend bool operator==(const Index&, const Index&) = default;
    };

    std::vector<Format> formats{};
    // Shared with the clips that play them.
    std::vector<koltutils::SharedValue<Asset>> assets{};
    std::vector<Media> media{};
    std::vector<Effect> effects{};
    Index index{};

    // Rebuilds `index` from the four lists. The resource readers call it once; call it again
    // after editing the lists of a large Resources by hand (small ones are scanned anyway).
    void reindex();

    // The first entry with that id, or null. The pointer lives as long as the list is unchanged.
    [[nodiscard]] const Format* findFormat(std::string_view id) const;
    [[nodiscard]] const Asset* findAsset(std::string_view id) const;
    // The same entry as the shared value itself, for a clip that plays it.
    [[nodiscard]] const koltutils::SharedValue<Asset>* findSharedAsset(std::string_view id) const;
    [[nodiscard]] const Media* findMedia(std::string_view id) const;
    [[nodiscard]] const Effect* findEffect(std::string_view id) const;

    friend bool operator==(const Resources&, const Resources&) = default;
};

} // namespace kvnfcpx
