#include "ClipAudioReading.h"
#include "ContainerFitting.h"
#include "ElementLookup.h"
#include "GroupIdentifiers.h"
#include "TimelineWalker.h"
#include "XMLText.h"

#include <koltutils/Log.h>
#include <string_view>
#include <utility>

namespace kvnfcpx::detail {

namespace {

using timecode::CMTime;
using xmltree::XMLElement;

constexpr const char* parseSyncClipSignature =
    "parseSyncClip(element:tcStart:itemTime:parentTiming:groupId:)";
constexpr const char* getSyncSourceSignature = "getSyncSource(element:)";
constexpr const char* updateInteriorClipSignature =
    "updateInteriorClip(assetClip:containerClipTime:containerEndTime:tcStart:clipVolume:effects:)";
constexpr const char* updateInteriorMarkerSignature =
    "updateInteriorMarker(marker:containerClipTime:containerEndTime:)";

XMLElementPtr firstDescendantNamed(const XMLElement& element, std::string_view name) {
    return element.firstDescendant(
        [name](const XMLElement& descendant) { return descendant.name() == name; });
}

bool isSourceCandidate(std::string_view name) noexcept {
    return name == "clip" || name == "asset-clip" || name == "gap";
}

// The role a clip's audio plays: its own `audioRole`, else that of its channel source, else
// that of its nested audio.
std::optional<std::string_view> audioRoleOf(const XMLElement& element) {
    if (auto role = element.attribute("audioRole")) {
        return role;
    }
    if (const auto* channelSource = firstChildNamed(element, "audio-channel-source")) {
        if (auto role = channelSource->attribute("role")) {
            return role;
        }
    }
    if (const auto* audio = firstChildNamed(element, "audio")) {
        return audio->attribute("role");
    }
    return std::nullopt;
}

// The role the editor synchronised on: the first active "audio-role-source" below the
// "sync-source", else its first "audio-role-source" child even when inactive.
std::optional<std::string_view> syncRoleOf(const XMLElement& syncSource) {
    XMLElementPtr roleSource = syncSource.firstDescendant([](const XMLElement& element) {
        return element.name() == "audio-role-source" && element.attribute("active") != "0";
    });
    const XMLElement* chosen =
        roleSource ? roleSource.get() : firstChildNamed(syncSource, "audio-role-source");
    if (!chosen) {
        KOLT_LOG_ERROR(getSyncSourceSignature, "Failed to get 'audio-role-source'");
        return std::nullopt;
    }
    auto role = chosen->attribute("role");
    if (!role) {
        KOLT_LOG_ERROR(getSyncSourceSignature, "Failed to get 'syncRole'");
    }
    return role;
}

// The children that stand beside the source: those whose `ref` differs from the source's.
std::vector<XMLElementPtr> otherChildren(const XMLElement& syncClip, const XMLElement& source) {
    const auto sourceRef = source.attribute("ref");
    std::vector<XMLElementPtr> others;
    for (const auto& child : syncClip.children()) {
        if (child->attribute("ref") != sourceRef) {
            others.push_back(child);
        }
    }
    return others;
}

} // namespace

XMLElementPtr TimelineWalker::getSyncSource(const xmltree::XMLElement& element) {
    std::vector<XMLElementPtr> candidates;
    for (const auto& child : element.children()) {
        if (isSourceCandidate(child->name())) {
            candidates.push_back(child);
        }
    }
    // A lone clip is the source whatever the sync source says.
    const XMLElementPtr syncSource =
        candidates.size() >= 2 ? firstDescendantNamed(element, "sync-source") : nullptr;
    if (!syncSource) {
        return candidates.empty() ? nullptr : candidates.front();
    }

    const auto syncRole = syncRoleOf(*syncSource);
    if (!syncRole) {
        return nullptr;
    }
    XMLElementPtr source = element.firstDescendant([&syncRole](const XMLElement& descendant) {
        const auto role = audioRoleOf(descendant);
        return role && role->find(*syncRole) != std::string::npos;
    });
    if (!source) {
        KOLT_LOG_ERROR(getSyncSourceSignature, "Failed to get 'audioRole'");
    }
    return source;
}

std::optional<SequenceContent> TimelineWalker::parseSyncClip(const xmltree::XMLElement& element,
                                                             const ClipTime& itemTime,
                                                             const WalkContext& context) {
    const CMTime& tcStart = context.tcStart;
    const CMTime containerEnd = itemTime.offset - tcStart + itemTime.duration;
    const auto syncVolume = containerVolume(element);
    const auto syncEffects = parseClipEffects(element, description_.resources);

    const XMLElementPtr source = getSyncSource(element);
    if (!source) {
        KOLT_LOG_ERROR(parseSyncClipSignature, "Failed to identify a sync clip source clip");
        return std::nullopt;
    }
    KOLT_LOG_DEBUG(parseSyncClipSignature, "sync-clip source element:", XMLText{*source});

    SequenceContent result;
    // The clips of a sync clip form groups of their own, whatever group the sync clip is in.
    const auto walkInside = [&](std::span<const XMLElementPtr> elements) {
        return parseItems(elements,
                          context.nested(tcStart, itemTime, "sync-clip_" + newGroupIdentifier()));
    };
    if (auto fromSource = walkInside(std::span(&source, 1))) {
        result = std::move(*fromSource);
    }
    for (auto& clip : result.assetClips) {
        clip = updateInteriorClipWithContainerEndTime(std::move(clip), itemTime, containerEnd,
                                                      tcStart, syncVolume, syncEffects);
    }
    for (auto& marker : result.markers) {
        marker = updateInteriorMarker(std::move(marker), itemTime, containerEnd);
    }

    const auto others = otherChildren(element, *source);
    if (auto beside = walkInside(others)) {
        std::move(beside->assetClips.begin(), beside->assetClips.end(),
                  std::back_inserter(result.assetClips));
        std::move(beside->markers.begin(), beside->markers.end(),
                  std::back_inserter(result.markers));
    }
    return result;
}

AssetClip TimelineWalker::updateInteriorClipWithContainerEndTime(
    AssetClip assetClip, const ClipTime& containerClipTime,
    const timecode::CMTime& containerEndTime, const timecode::CMTime& tcStart,
    const std::optional<ClipVolume>& clipVolume,
    const std::optional<std::vector<ClipEffect>>& effects) {
    ClipTime& clipTime = assetClip.clipTime;
    const CMTime reportedOffset = clipTime.offset;
    const CMTime reportedDuration = clipTime.duration;
    const CMTime audioShift = containerClipTime.audioStartOffset();
    KOLT_LOG_DEBUG(updateInteriorClipSignature, "🟡 Starting clipTime for", assetClip.name,
                   clipTime, clipTime.offset.seconds(), clipTime.duration.seconds(),
                   clipTime.start.seconds());

    // A clip that begins before the sync clip's in-point is cut there.
    if (reportedOffset.seconds() < 0) {
        clipTime.start = clipTime.start + containerClipTime.start;
        clipTime.offset = containerClipTime.offset - tcStart + audioShift;
        clipTime.duration = clipTime.duration + reportedOffset;
    }
    // Separately recorded audio counts from its own start.
    if (assetClip.audioClipContent) {
        clipTime.start = clipTime.start - assetClip.audioClipContent->clipTime.start + audioShift;
    }
    const CMTime containerLength = containerClipTime.effectiveAudioDuration();
    if (clipTime.duration > containerLength) {
        clipTime.duration = containerLength;
    }
    applyContainerAudio(assetClip, clipVolume, effects);
    clipTime.isValid = true;

    // Fades that lie in the part the trim cut away go with it.
    if (assetClip.clipVolume && assetClip.clipVolume->fadeIn &&
        assetClip.clipVolume->fadeIn->seconds() < containerClipTime.start.seconds()) {
        const double fadeInSeconds = assetClip.clipVolume->fadeIn->seconds();
        assetClip.clipVolume->fadeIn.reset();
        KOLT_LOG_ERROR(updateInteriorClipSignature,
                       "Removing fade in (" + koltutils::describe(fadeInSeconds) + "), before edit",
                       containerClipTime.start.seconds());
    }
    const CMTime cutTail = reportedDuration - (containerClipTime.duration - clipTime.offset);
    if (assetClip.clipVolume && assetClip.clipVolume->fadeOut &&
        assetClip.clipVolume->fadeOut->seconds() < cutTail.seconds()) {
        const double fadeOutSeconds = assetClip.clipVolume->fadeOut->seconds();
        assetClip.clipVolume->fadeOut.reset();
        KOLT_LOG_ERROR(updateInteriorClipSignature,
                       "Removing fade out (" + koltutils::describe(fadeOutSeconds) +
                           "), after edit",
                       cutTail.seconds());
    }
    if (clipTime.offset >= containerEndTime) {
        clipTime.isValid = false;
        KOLT_LOG_ERROR(updateInteriorClipSignature,
                       "* disposing clip, out of bounds clip time:", clipTime);
    }
    KOLT_LOG_DEBUG(updateInteriorClipSignature, "🟡 Ending clipTime for", assetClip.name,
                   clipTime);
    return assetClip;
}

Marker TimelineWalker::updateInteriorMarker(Marker marker, const ClipTime& containerClipTime,
                                            const timecode::CMTime& containerEndTime) {
    const CMTime newOffset = marker.clipTime.start - containerClipTime.start;
    if (!placeInteriorMarker(marker, newOffset, containerEndTime)) {
        KOLT_LOG_ERROR(updateInteriorMarkerSignature,
                       "* disposing marker, out of bounds clip time");
    }
    return marker;
}

} // namespace kvnfcpx::detail
