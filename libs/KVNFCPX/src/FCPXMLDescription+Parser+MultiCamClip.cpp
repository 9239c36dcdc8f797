#include "AttributeReading.h"
#include "ClipAudioReading.h"
#include "ContainerFitting.h"
#include "ReferencedTimelineGuard.h"
#include "TimelineWalker.h"
#include "XMLText.h"

#include <koltutils/Log.h>
#include <utility>

namespace kvnfcpx::detail {

namespace {

using timecode::CMTime;
using xmltree::XMLElement;

constexpr const char* parseMultiCamClipSignature =
    "parseMultiCamClip(element:tcStart:itemTime:parentTiming:groupId:)";
constexpr const char* updateInteriorClipSignature =
    "updateInteriorClip(assetClip:containerClipTime:containerOffset:tcStart:clipVolume:effects:)";
constexpr const char* updateInteriorMarkerSignature =
    "updateInteriorMarker(marker:containerClipTime:containerEndTime:tcStart:)";

// The first "mc-source" that takes audio from its angle; only that one decides.
const XMLElement* audioSourceOf(const XMLElement& mcClip) {
    for (const auto& child : mcClip.children()) {
        if (child->name() != "mc-source") {
            continue;
        }
        const auto srcEnable = child->attribute("srcEnable");
        if (srcEnable == "audio" || srcEnable == "all") {
            return child.get();
        }
    }
    return nullptr;
}

XMLElementPtr angleNamed(const XMLElement& multicam, std::string_view angleID) {
    return multicam.firstDescendant([&angleID](const XMLElement& element) {
        return element.name() == "mc-angle" && element.attribute("angleID") == angleID;
    });
}

} // namespace

std::optional<SequenceContent> TimelineWalker::parseMultiCamClip(const xmltree::XMLElement& element,
                                                                 const ClipTime& itemTime,
                                                                 const WalkContext& context) {
    if (itemTime.clipItem != ClipItem::mcClip) {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "This isn't a <mc-clip>");
        return std::nullopt;
    }
    const auto ref = element.attribute("ref");
    if (!ref) {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "No ref found in", element.name());
        return std::nullopt;
    }
    const Media* media = description_.media(*ref);
    if (!media) {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "Didn't find <media> for ref", *ref);
        return std::nullopt;
    }
    if (!media->child || media->child->name() != "multicam") {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "<media> doesn't contain a <multicam> element");
        return std::nullopt;
    }
    const XMLElement& multicam = *media->child;
    const XMLElement* audioSource = audioSourceOf(element);
    if (!audioSource) {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "mc-source doesn't have audio");
        return std::nullopt;
    }
    const auto angleID = audioSource->attribute("angleID");
    if (!angleID) {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "Failed to find angleID in mc-source");
        return std::nullopt;
    }
    const XMLElementPtr angle = angleNamed(multicam, *angleID);
    if (!angle) {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "Failed to find mc-angle " +
                                                       std::string(*angleID) +
                                                       " source in multicam media");
        return std::nullopt;
    }
    const ReferencedTimelineGuard guard(description_, *media, activeExpansions_);
    if (!guard.admitted()) {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "Skipping this mc-clip", *ref,
                       "its <media> refers to itself or expands past",
                       ReferencedTimelineGuard::maxExpandedElements, "elements");
        return std::nullopt;
    }

    const CMTime mcTcStart = timeAttribute(multicam, "tcStart").value_or(CMTime::zero);
    const CMTime containerOffset = itemTime.offset - context.tcStart;
    const CMTime containerEnd = containerOffset + itemTime.duration;
    const auto mcVolume = containerVolume(element);
    const auto mcEffects = parseClipEffects(element, description_.resources);

    // The angle is a timeline of its own, starting at the multicam's tcStart.
    auto content =
        parseItems(angle->children(), context.nested(CMTime::zero, ClipTime{}, std::nullopt));
    if (!content) {
        KOLT_LOG_ERROR(parseMultiCamClipSignature, "No asset-clips found in", XMLText{*angle});
        return std::nullopt;
    }
    for (auto& clip : content->assetClips) {
        clip = updateInteriorClipWithContainerOffset(std::move(clip), itemTime, containerOffset,
                                                     mcTcStart, mcVolume, mcEffects);
        clip.groupId = context.groupId;
    }
    for (auto& marker : content->markers) {
        marker = updateInteriorMarker(std::move(marker), itemTime, containerEnd, context.tcStart);
    }
    return content;
}

AssetClip TimelineWalker::updateInteriorClipWithContainerOffset(
    AssetClip assetClip, const ClipTime& containerClipTime, const timecode::CMTime& containerOffset,
    const timecode::CMTime& tcStart, const std::optional<ClipVolume>& clipVolume,
    const std::optional<std::vector<ClipEffect>>& effects) {
    ClipTime& clipTime = assetClip.clipTime;
    const CMTime reportedOffset = clipTime.offset;
    // The multicam clip plays its audio from its audio in-point for its audio length.
    const CMTime audioLength = containerClipTime.effectiveAudioDuration();
    const CMTime audioInPoint = containerClipTime.effectiveAudioStart();

    clipTime.duration = audioLength;
    clipTime.start = clipTime.start + audioInPoint - tcStart - reportedOffset;
    clipTime.offset = containerOffset + containerClipTime.audioStartOffset();
    if (reportedOffset > containerClipTime.start) {
        clipTime.duration = audioLength - reportedOffset;
    }
    applyContainerAudio(assetClip, clipVolume, effects);
    KOLT_LOG_DEBUG(updateInteriorClipSignature, " 🟡", "Ending clipTime", clipTime);
    return assetClip;
}

Marker TimelineWalker::updateInteriorMarker(Marker marker, const ClipTime& containerClipTime,
                                            const timecode::CMTime& containerEndTime,
                                            const timecode::CMTime& tcStart) {
    const CMTime newOffset = marker.clipTime.offset + containerClipTime.offset - tcStart;
    if (!placeInteriorMarker(marker, newOffset, containerEndTime)) {
        KOLT_LOG_ERROR(updateInteriorMarkerSignature,
                       "* disposing marker, out of bounds clip time");
    }
    return marker;
}

} // namespace kvnfcpx::detail
