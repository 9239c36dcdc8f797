#pragma once

#include "kvnfcpx/AssetClip.h"
#include "kvnfcpx/Marker.h"

#include <vector>

namespace kvnfcpx {

// The flattened timeline: clips and markers in the order the walk produced them. The same
// pair of lists is what one step of the timeline walk returns.
struct SequenceContent {
    std::vector<AssetClip> assetClips{};
    std::vector<Marker> markers{};

    friend bool operator==(const SequenceContent&, const SequenceContent&) = default;
};

} // namespace kvnfcpx
