#pragma once

// Reads what a clip says about its sound: volume and fades, audio effects, and the audio or
// video element a clip plays.

#include "kvnfcpx/ClipContent.h"
#include "kvnfcpx/ClipEffect.h"
#include "kvnfcpx/ClipVolume.h"
#include "kvnfcpx/Resources.h"

#include <koltutils/OptionalBox.h>
#include <optional>
#include <vector>
#include <xmltree/XMLElement.h>

namespace kvnfcpx::detail {

// From a clip's first "adjust-volume" child (a detached missing element reads as empty);
// nothing when neither a gain nor a fade is found.
[[nodiscard]] std::optional<ClipVolume> parseClipVolume(const xmltree::XMLElement& adjustVolume);

// Muted by volume: a gain present and at most -90 dB.
[[nodiscard]] bool isMutedByVolume(const koltutils::OptionalBox<ClipVolume>& clipVolume) noexcept;

// The clip's "filter-audio" children whose effect resource exists among `resources`; nothing
// when the clip has no "filter-audio" child at all.
[[nodiscard]] std::optional<std::vector<ClipEffect>>
parseClipEffects(const xmltree::XMLElement& clip, const std::optional<Resources>& resources);

// An "audio" or "video" element with a `ref`.
[[nodiscard]] std::optional<ClipContent> parseClipContent(const xmltree::XMLElement& element);

} // namespace kvnfcpx::detail
