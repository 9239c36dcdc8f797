#pragma once

// What multicam and sync clips share when they fit the clips and markers they hold to
// themselves: the container's own volume, fades and audio effects folded into every clip, and
// the bounds a moved marker must stay within.

#include "kvnfcpx/AssetClip.h"
#include "kvnfcpx/ClipEffect.h"
#include "kvnfcpx/ClipVolume.h"
#include "kvnfcpx/Marker.h"

#include <optional>
#include <timecode/CMTime.h>
#include <vector>
#include <xmltree/XMLElement.h>

namespace kvnfcpx::detail {

// The container's own volume and fades, from its first "adjust-volume" child.
[[nodiscard]] std::optional<ClipVolume> containerVolume(const xmltree::XMLElement& container);

// The gain of a clip played through a container, both in decibels:
// 20 · log10(10^(clip/20) · 10^(container/20) · 0.5), that is the sum less 6.02 dB.
[[nodiscard]] float combinedGain(float clipGain, float containerGain) noexcept;

// Folds a container's volume and effects into a clip it holds:
// - a clip without volume takes the container's whole; otherwise the gains combine (either one
//   alone is kept) and the container's fades replace the clip's where it has them;
// - the container's effects follow the clip's own, and of several equal effects only the first
//   stays.
// Absent container settings leave the clip's as they are.
void applyContainerAudio(AssetClip& clip, const std::optional<ClipVolume>& containerVolume,
                         const std::optional<std::vector<ClipEffect>>& containerEffects);

// Moves a marker to `newOffset` (both its start and its offset) and marks it valid exactly when
// that lies in [0, containerEnd). Returns the validity, so the caller can log a disposal.
bool placeInteriorMarker(Marker& marker, const timecode::CMTime& newOffset,
                         const timecode::CMTime& containerEnd);

} // namespace kvnfcpx::detail
