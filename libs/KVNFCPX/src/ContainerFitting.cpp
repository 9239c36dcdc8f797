#include "ContainerFitting.h"

#include "ClipAudioReading.h"
#include "ElementLookup.h"
#include "HashCombine.h"

#include <cmath>
#include <cstddef>
#include <functional>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace kvnfcpx::detail {

namespace {

// Consistent with ClipEffect's ==: equal effects agree on every field hashed here.
struct ClipEffectHash {
    std::size_t operator()(const ClipEffect& effect) const noexcept {
        std::size_t seed = 0;
        hashCombine(seed, effect.uid);
        hashCombine(seed, effect.name);
        hashCombine(seed, effect.presetID);
        hashCombine(seed, effect.enabled);
        if (effect.effectState) {
            const auto& bytes = *effect.effectState;
            hashCombine(
                seed, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
        for (const auto& param : effect.params) {
            hashCombine(seed, param.key);
            hashCombine(seed, param.value);
        }
        return seed;
    }
};

// Keeps the first of several equal effects, in order, without comparing every pair. The set
// holds positions and reads the effects through them, so nothing moves until all are sorted.
void removeLaterDuplicates(std::vector<ClipEffect>& effects) {
    const auto hashAt = [&effects](std::size_t position) {
        return ClipEffectHash{}(effects[position]);
    };
    const auto equalAt = [&effects](std::size_t lhs, std::size_t rhs) {
        return effects[lhs] == effects[rhs];
    };
    std::unordered_set<std::size_t, decltype(hashAt), decltype(equalAt)> firstPositions(
        effects.size(), hashAt, equalAt);
    std::vector<bool> isFirst(effects.size());
    for (std::size_t position = 0; position < effects.size(); ++position) {
        isFirst[position] = firstPositions.insert(position).second;
    }
    std::vector<ClipEffect> kept;
    kept.reserve(firstPositions.size());
    for (std::size_t position = 0; position < effects.size(); ++position) {
        if (isFirst[position]) {
            kept.push_back(std::move(effects[position]));
        }
    }
    effects = std::move(kept);
}

ClipVolume combinedVolume(const ClipVolume& clipVolume, const ClipVolume& containerVolume) {
    ClipVolume combined;
    if (clipVolume.adjustVolume && containerVolume.adjustVolume) {
        combined.adjustVolume =
            combinedGain(*clipVolume.adjustVolume, *containerVolume.adjustVolume);
    } else {
        combined.adjustVolume =
            clipVolume.adjustVolume ? clipVolume.adjustVolume : containerVolume.adjustVolume;
    }
    combined.fadeIn = containerVolume.fadeIn ? containerVolume.fadeIn : clipVolume.fadeIn;
    combined.fadeOut = containerVolume.fadeOut ? containerVolume.fadeOut : clipVolume.fadeOut;
    return combined;
}

} // namespace

std::optional<ClipVolume> containerVolume(const xmltree::XMLElement& container) {
    const auto* adjustVolume = firstChildNamed(container, "adjust-volume");
    return adjustVolume ? parseClipVolume(*adjustVolume) : std::nullopt;
}

float combinedGain(float clipGain, float containerGain) noexcept {
    const double clipFactor = std::pow(10.0, static_cast<double>(clipGain) / 20.0);
    const double containerFactor = std::pow(10.0, static_cast<double>(containerGain) / 20.0);
    return static_cast<float>(20.0 * std::log10(clipFactor * containerFactor * 0.5));
}

void applyContainerAudio(AssetClip& clip, const std::optional<ClipVolume>& containerVolume,
                         const std::optional<std::vector<ClipEffect>>& containerEffects) {
    if (containerVolume) {
        clip.clipVolume =
            clip.clipVolume ? combinedVolume(*clip.clipVolume, *containerVolume) : *containerVolume;
    }
    if (containerEffects) {
        std::vector<ClipEffect> effects = clip.effects.value_or(std::vector<ClipEffect>{});
        effects.insert(effects.end(), containerEffects->begin(), containerEffects->end());
        removeLaterDuplicates(effects);
        clip.effects = std::move(effects);
    }
}

bool placeInteriorMarker(Marker& marker, const timecode::CMTime& newOffset,
                         const timecode::CMTime& containerEnd) {
    const bool inBounds = !(newOffset.seconds() < 0 || newOffset >= containerEnd);
    marker.clipTime.isValid = inBounds;
    marker.clipTime.start = newOffset;
    marker.clipTime.offset = newOffset;
    return inBounds;
}

} // namespace kvnfcpx::detail
