#pragma once

#include "kvnfcpx/Asset.h"
#include "kvnfcpx/ClipContent.h"
#include "kvnfcpx/ClipEffect.h"
#include "kvnfcpx/ClipTime.h"
#include "kvnfcpx/ClipVolume.h"

#include <cstddef>
#include <cstdint>
#include <koltutils/OptionalBox.h>
#include <koltutils/SharedOptional.h>
#include <koltutils/SharedValue.h>
#include <optional>
#include <string>
#include <vector>

namespace kvnfcpx {

// One flattened audio-bearing clip of the timeline.
struct AssetClip {
    // The id of the asset it plays; equals `asset->id`.
    std::string ref{};
    // Shared with every other clip that plays the same asset.
    koltutils::SharedValue<Asset> asset{};
    // `offset`: position from the sequence start; `start`: position in the media file.
    ClipTime clipTime{};
    // The fields most clips lack are boxed: a project holds a record per clip, and each of
    // these would otherwise cost every clip its full size.
    koltutils::OptionalBox<ClipVolume> clipVolume{};
    koltutils::OptionalBox<std::vector<ClipEffect>> effects{};
    std::optional<std::string> name{};
    // The role text exactly as written in the document.
    std::optional<std::string> audioRole{};
    // Filled for clips whose audio comes from a nested "audio" element.
    koltutils::OptionalBox<ClipContent> audioClipContent{};
    koltutils::OptionalBox<std::string> note{};
    std::optional<std::int64_t> lane{};
    bool mute = false;
    // Shared by the clips flattened out of one compound, multicam or sync clip, which hold it
    // once between them.
    koltutils::SharedOptional<std::string> groupId{};

    friend bool operator==(const AssetClip&, const AssetClip&) = default;
};

} // namespace kvnfcpx

// Consistent with ==, for "append unless an equal clip is already there" in linear time.
template <> struct std::hash<kvnfcpx::AssetClip> {
    std::size_t operator()(const kvnfcpx::AssetClip& clip) const noexcept;
};
