#include "kvnfcpx/AssetClip.h"

#include "HashCombine.h"

// Hashes the fields that tell clips of one timeline apart. The rest (asset, volume, effects,
// content) either follows from `ref` or rarely differs between clips at the same place, and
// leaving it out keeps the hash cheap and trivially consistent with == (no float fields).
std::size_t
std::hash<kvnfcpx::AssetClip>::operator()(const kvnfcpx::AssetClip& clip) const noexcept {
    using kvnfcpx::detail::hashCombine;
    std::size_t seed = 0;
    hashCombine(seed, clip.ref);
    hashCombine(seed, clip.clipTime);
    hashCombine(seed, clip.name);
    hashCombine(seed, clip.audioRole);
    hashCombine(seed, clip.lane);
    hashCombine(seed, clip.mute);
    hashCombine(seed, clip.groupId);
    return seed;
}
