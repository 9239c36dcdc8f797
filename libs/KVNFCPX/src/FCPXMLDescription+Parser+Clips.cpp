#include "ReferencedTimelineGuard.h"
#include "TimelineWalker.h"

#include <cstddef>
#include <koltutils/Log.h>
#include <utility>

namespace kvnfcpx::detail {

namespace {

using timecode::CMTime;

constexpr const char* parseRefClipSignature =
    "parseRefClip(element:tcStart:itemTime:parentTiming:groupId:)";

// The clips of a compound clip's inner timeline, positioned on that timeline, which begins at
// `start`.
struct InnerTimeline {
    CMTime start = CMTime::zero;
    std::vector<AssetClip> assetClips;
};

// Moves an inner clip to the enclosing timeline: shifted by the compound clip's place, cut at
// its in-point and its end. `startDelta` is how far the in-point lies into the inner timeline;
// offsets and `containerEnd` count from the enclosing timeline's start.
void mapIntoContainer(ClipTime& clipTime, const CMTime& containerOffset, const CMTime& startDelta,
                      const CMTime& containerEnd) {
    clipTime.offset = clipTime.offset + containerOffset;
    if (clipTime.offset < startDelta) {
        clipTime.start = clipTime.start + startDelta;
        clipTime.duration = clipTime.duration - startDelta;
    } else {
        clipTime.offset = clipTime.offset - startDelta;
    }
    if (clipTime.offset + clipTime.duration > containerEnd) {
        clipTime.duration = containerEnd - clipTime.offset;
    }
    if (clipTime.duration.seconds() < 0 || clipTime.offset >= containerEnd) {
        clipTime.isValid = false;
    }
}

} // namespace

std::optional<std::vector<AssetClip>>
TimelineWalker::parseRefClip(const xmltree::XMLElement& element, const ClipTime& itemTime,
                             const WalkContext& context) {
    const auto ref = element.attribute("ref");
    if (!ref) {
        KOLT_LOG_ERROR(parseRefClipSignature, "no ref attribute found in ref-clip");
        return std::nullopt;
    }
    // A compound clip whose audio is switched off contributes nothing.
    const std::string_view srcEnable = element.attribute("srcEnable").value_or("all");
    if (srcEnable != "all" && srcEnable != "audio") {
        KOLT_LOG_ERROR(parseRefClipSignature, "Skipping this ref-clip", *ref, "srcEnable is",
                       srcEnable);
        return std::nullopt;
    }
    const Media* media = description_.media(*ref);
    if (!media) {
        KOLT_LOG_ERROR(parseRefClipSignature, "Didn't find <media> for ref", *ref);
        return std::nullopt;
    }
    if (!media->child) {
        KOLT_LOG_ERROR(parseRefClipSignature, "<media> is empty");
        return std::nullopt;
    }
    const ReferencedTimelineGuard guard(description_, *media, activeExpansions_);
    if (!guard.admitted()) {
        KOLT_LOG_ERROR(parseRefClipSignature, "Skipping this ref-clip", *ref,
                       "its <media> refers to itself or expands past",
                       ReferencedTimelineGuard::maxExpandedElements, "elements");
        return std::nullopt;
    }

    InnerTimeline inner;
    if (auto sequence = parseSequence(*media->child, context.depth + 1); sequence.content) {
        inner.start = sequence.tcStart;
        inner.assetClips = std::move(sequence.content->assetClips);
    } else if (auto content = parseItems(std::span(&media->child, 1),
                                         context.nested(CMTime::zero, itemTime, std::nullopt))) {
        inner.assetClips = std::move(content->assetClips);
    }

    const CMTime containerOffset = itemTime.offset - context.tcStart;
    const CMTime startDelta = itemTime.start - inner.start;
    const CMTime containerEnd = containerOffset + itemTime.duration;

    for (std::size_t index = 0; index < inner.assetClips.size(); ++index) {
        AssetClip& clip = inner.assetClips[index];
        mapIntoContainer(clip.clipTime, containerOffset, startDelta, containerEnd);
        clip.groupId = context.groupId;
        KOLT_LOG_DEBUG(parseRefClipSignature, index, clip.clipTime);
    }
    // A position that overflowed into an infinity or became unusable has no place on a timeline.
    std::erase_if(inner.assetClips,
                  [](const AssetClip& clip) { return !clip.clipTime.offset.isNumeric(); });
    return std::move(inner.assetClips);
}

} // namespace kvnfcpx::detail
