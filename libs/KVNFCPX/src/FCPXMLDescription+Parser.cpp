#include "AttributeReading.h"
#include "ClipAudioReading.h"
#include "ElementLookup.h"
#include "GroupIdentifiers.h"
#include "ResourceReader.h"
#include "TimelineWalker.h"
#include "UniqueList.h"
#include "kvnfcpx/ParseLimits.h"

#include <algorithm>
#include <cstddef>
#include <koltutils/Entropy.h>
#include <koltutils/Log.h>
#include <new>

namespace kvnfcpx::detail {

namespace {

using timecode::CMTime;
using xmltree::XMLElement;

constexpr const char* parseSequenceSignature = "parseSequence(from:)";
constexpr const char* parseItemsSignature = "parseItems(from:tcStart:parentTiming:groupId:)";
constexpr const char* parseClipSignature =
    "parseClip(clipItem:element:tcStart:itemTime:parentTiming:groupId:)";
constexpr const char* parseMarkerSignature = "parseMarker(element:tcStart:parentTiming:)";

// A list of siblings this long is a spine, whose clips (hundreds of bytes each) are worth
// placing without moving them again as the list grows.
constexpr std::size_t longSiblingList = 64;

// A compound, multicam or sync clip brings clips of its own, usually a few. Counting two for
// each spares most spines a reallocation; room reserved beyond what a spine uses costs address
// space only, since pages that are never written are never mapped.
constexpr std::size_t clipsPerContainer = 2;

std::size_t expectedClips(const XMLElement& element) {
    switch (clipItemFromElementName(element.name())) {
    case ClipItem::assetClip:
    case ClipItem::clip:
        return 1;
    case ClipItem::refClip:
    case ClipItem::mcClip:
    case ClipItem::syncClip:
        return clipsPerContainer;
    default:
        return 0;
    }
}

// The clips of the siblings and of the items connected to them: all a spine normally holds.
std::size_t expectedClipCount(std::span<const XMLElementPtr> siblings) {
    std::size_t count = 0;
    for (const auto& sibling : siblings) {
        count += expectedClips(*sibling);
        for (const auto& child : sibling->children()) {
            count += expectedClips(*child);
        }
    }
    return count;
}

// Reserving is only a saving: a hostile document of empty container elements must not turn it
// into an allocation many times its own size, and a reservation refused is no failure.
void reserveClips(UniqueList<AssetClip>& clips, std::size_t expected) {
    constexpr std::size_t largestReservation = std::size_t{1} << 18;
    try {
        clips.reserve(std::min(expected, largestReservation));
    } catch (const std::bad_alloc&) {
    }
}

// The item time with its offset moved into the parent's timeline: children of a clip are
// placed on the clip's own (media) timeline, which begins at the clip's `start`.
ClipTime adjustedItemTime(ClipTime itemTime, const ClipTime& parentTiming) {
    itemTime.offset = itemTime.offset + parentTiming.offset;
    if (parentTiming.start != CMTime::zero) {
        itemTime.offset = itemTime.offset - parentTiming.start;
        KOLT_LOG_DEBUG(parseItemsSignature, "- 🟢 Subtracting parentTiming start from offset, ",
                       parentTiming.start.seconds(), "__ After editing:", itemTime);
    }
    return itemTime;
}

void removeInvalid(SequenceContent& content) {
    std::erase_if(content.assetClips, [](const AssetClip& clip) { return !clip.clipTime.isValid; });
    std::erase_if(content.markers, [](const Marker& marker) { return !marker.clipTime.isValid; });
}

// Where a `clip` element keeps its audio: its own "audio" child, or that of its first "gap".
const XMLElement* audioElementOfClip(const XMLElement& clip) {
    if (const auto* audio = firstChildNamed(clip, "audio")) {
        return audio;
    }
    const auto* gap = firstChildNamed(clip, "gap");
    return gap ? firstChildNamed(*gap, "audio") : nullptr;
}

} // namespace

struct TimelineWalker::WalkResult {
    UniqueList<AssetClip> assetClips;
    UniqueList<Marker> markers;

    void appendAsTheyAre(std::optional<SequenceContent>&& content) {
        if (content) {
            assetClips.appendAll(std::move(content->assetClips));
            markers.appendAll(std::move(content->markers));
        }
    }

    std::optional<SequenceContent> finish() && {
        if (assetClips.empty() && markers.empty()) {
            return std::nullopt;
        }
        return SequenceContent{std::move(assetClips).take(), std::move(markers).take()};
    }
};

TimelineWalker::TimelineWalker(const FCPXMLDescription& description) noexcept
    : description_(description) {}

std::string TimelineWalker::newGroupIdentifier() {
    if (description_.parserOptions.stableIdentifiers) {
        return stableIdentifier(groupsMade_++);
    }
    return koltutils::Entropy::uniqueId();
}

Sequence TimelineWalker::parseSequence(const xmltree::XMLElement& from) {
    return parseSequence(from, 0);
}

Sequence TimelineWalker::parseSequence(const xmltree::XMLElement& from, std::size_t depth) {
    Sequence sequence;
    sequence.format = textAttribute(from, "format");
    if (const auto layout = from.attribute("audioLayout")) {
        sequence.audioLayout = koltutils::fromRawValue<Sequence::AudioLayout>(*layout);
    }
    sequence.duration = timeAttribute(from, "duration");
    if (const auto rate = from.attribute("audioRate")) {
        sequence.audioRate = audioRateFromName(*rate);
    }
    if (const auto tcFormat = from.attribute("tcFormat")) {
        sequence.tcFormat = koltutils::fromRawValue<Sequence::TimecodeFormat>(*tcFormat);
    }
    sequence.renderFormat = textAttribute(from, "renderFormat");
    sequence.tcStart = timeAttribute(from, "tcStart").value_or(CMTime::zero);

    KOLT_LOG_DEBUG(parseSequenceSignature, "🟢 Parsing <sequence> tcStart ",
                   sequence.tcStart.seconds(), "s duration ",
                   sequence.duration ? sequence.duration->seconds() : 0.0);

    // The main timeline's parent is the all-zero timing: positions stay as written, in
    // sequence time (which begins at tcStart).
    sequence.content =
        parseItems(from.children(), WalkContext{.tcStart = sequence.tcStart, .depth = depth});
    if (sequence.content) {
        removeInvalid(*sequence.content);
    }

    const auto clipCount = sequence.content
                               ? std::optional<std::size_t>(sequence.content->assetClips.size())
                               : std::nullopt;
    KOLT_LOG_DEBUG(parseSequenceSignature, "parsed", clipCount, "assetClips");
    return sequence;
}

std::optional<SequenceContent> TimelineWalker::parseItems(std::span<const XMLElementPtr> from,
                                                          const WalkContext& context) {
    return parseSiblings(from, context,
                         [from, next = std::size_t{0}]() mutable { return from[next++].get(); });
}

std::optional<SequenceContent> TimelineWalker::parseItemsReleasing(std::vector<XMLElementPtr> from,
                                                                   const WalkContext& context) {
    // Taken from the back of the reversed list, so that the list's own storage (16 bytes an item,
    // as long as the timeline) shrinks as the walk goes, and each item goes once walked.
    std::ranges::reverse(from);
    XMLElementPtr walked;
    return parseSiblings(std::span<const XMLElementPtr>(from), context, [&from, &walked] {
        walked = std::move(from.back());
        from.pop_back();
        if (from.size() >= longSiblingList && from.size() <= from.capacity() / 2) {
            from.shrink_to_fit();
        }
        return walked.get();
    });
}

template <class NextElement>
std::optional<SequenceContent> TimelineWalker::parseSiblings(std::span<const XMLElementPtr> from,
                                                             const WalkContext& context,
                                                             NextElement nextElement) {
    // The walk re-enters itself through the inner timelines of compound, multicam and sync
    // clips, which may hold such clips again (or refer back to themselves).
    if (context.depth >= maxTimelineNesting) {
        KOLT_LOG_ERROR(parseItemsSignature, "Skipping", from.size(), "elements nested deeper than",
                       maxTimelineNesting, "levels");
        return std::nullopt;
    }
    WalkResult result;
    if (from.size() > longSiblingList) {
        reserveClips(result.assetClips, expectedClipCount(from));
    }
    for (std::size_t count = from.size(); count > 0; --count) {
        parseItem(*nextElement(), context, result);
    }
    return std::move(result).finish();
}

void TimelineWalker::parseItem(xmltree::XMLElement& element, const WalkContext& context,
                               WalkResult& result) {
    // Most elements of a timeline (effects, parameters, channel sources, titles) are no clip
    // item; they are skipped before their times are read.
    if (clipItemFromElementName(element.name()) == ClipItem::unknown) {
        return;
    }
    const ClipTime itemTime = adjustedItemTime(parseClipTime(element), context.parentTiming);
    ClipTime childrenParentTiming = itemTime;

    switch (itemTime.clipItem) {
    case ClipItem::spine:
    case ClipItem::gap:
    case ClipItem::audition:
        break;
    case ClipItem::assetClip:
    case ClipItem::clip:
        if (auto clip = parseClip(itemTime.clipItem, element, itemTime, context)) {
            result.assetClips.appendUnlessPresent(std::move(*clip));
        }
        break;
    case ClipItem::refClip: {
        WalkContext refClipContext = context;
        refClipContext.groupId = "ref-clip_" + newGroupIdentifier();
        if (auto clips = parseRefClip(element, itemTime, refClipContext)) {
            result.assetClips.appendAll(std::move(*clips));
        }
        result.assetClips.removeLaterDuplicates();
        break;
    }
    case ClipItem::mcClip:
        result.appendAsTheyAre(parseMultiCamClip(element, itemTime, context));
        break;
    case ClipItem::syncClip:
        // The sync clip parser walks the children itself.
        result.appendAsTheyAre(parseSyncClip(element, itemTime, context));
        return;
    case ClipItem::marker:
    case ClipItem::chapterMarker:
        result.markers.appendUnlessPresent(parseMarker(element, context));
        break;
    case ClipItem::transition:
        childrenParentTiming.start = itemTime.start + context.tcStart;
        break;
    case ClipItem::unknown:
        return;
    }

    if (element.children().empty()) {
        return;
    }
    const WalkContext inner = context.nested(context.tcStart, childrenParentTiming, std::nullopt);
    // The items of the main timeline (the children of its spine) are let go of one by one once
    // walked, when the load was asked to: nothing refers back to them.
    const bool releases = description_.parserOptions.releaseMainTimeline && context.depth == 0;
    result.appendAsTheyAre(releases ? parseItemsReleasing(element.takeChildren(), inner)
                                    : parseItems(element.children(), inner));
}

std::optional<AssetClip> TimelineWalker::parseClip(ClipItem clipItem,
                                                   const xmltree::XMLElement& element,
                                                   const ClipTime& itemTime,
                                                   const WalkContext& context) const {
    AssetClip clip;
    clip.name = textAttribute(element, "name");

    if (clipItem == ClipItem::clip) {
        const XMLElement* audio = audioElementOfClip(element);
        auto content = audio ? parseClipContent(*audio) : std::nullopt;
        if (!content) {
            KOLT_LOG_ERROR(parseClipSignature, "Skipping " +
                                                   std::string(koltutils::rawValue(clipItem)) +
                                                   " '" + clip.name.value_or("?") + "'. No audio.");
            return std::nullopt;
        }
        KOLT_LOG_DEBUG(parseClipSignature, "<audio>", *content);
        clip.ref = content->ref;
        clip.audioRole = content->role;
        clip.lane = content->lane;
        clip.audioClipContent = std::move(content);
    } else {
        auto ref = textAttribute(element, "ref");
        if (!ref) {
            KOLT_LOG_DEBUG(parseClipSignature,
                           "Skipping '" + element.name() + "'. Failed to find 'ref'");
            return std::nullopt;
        }
        clip.ref = std::move(*ref);
        clip.audioRole = textAttribute(element, "audioRole");
        clip.lane = integerAttribute(element, "lane");
    }

    const auto& resources = description_.resources;
    const auto* asset = resources ? resources->findSharedAsset(clip.ref) : nullptr;
    if (!asset) {
        KOLT_LOG_ERROR(parseClipSignature,
                       "Skipping '" + element.name() + "'. Failed to find 'asset'");
        return std::nullopt;
    }

    // A position inside the media file, whose own timecode begins at the asset's start.
    CMTime start = itemTime.start;
    const CMTime& assetStart = (*asset)->clipTime.start;
    if (assetStart != CMTime::zero) {
        start = itemTime.start - assetStart;
        KOLT_LOG_DEBUG(parseClipSignature, "- 🕛 Subtracted asset.start", assetStart.seconds(),
                       "new start is", start.seconds());
    }
    const CMTime offset = itemTime.offset - context.tcStart;

    // The parent's end keeps tcStart while the clip's offset has lost it: a comparison the
    // rest of the system depends on, kept as it is.
    const CMTime parentLength = context.parentTiming.effectiveAudioDuration();
    const CMTime parentEnd = context.parentTiming.offset + parentLength;
    const bool isValid = itemTime.isValid && (parentLength == CMTime::zero || offset <= parentEnd);
    if (!isValid) {
        KOLT_LOG_ERROR(parseClipSignature,
                       "__ Invalid clip, after parent end time. Clip offset:", offset.seconds(),
                       "parentEndTime", parentEnd.seconds());
    }

    if (const auto* adjustVolume = firstChildNamed(element, "adjust-volume")) {
        clip.clipVolume = parseClipVolume(*adjustVolume);
    }
    const auto* channelSource = firstChildNamed(element, "audio-channel-source");
    clip.mute = element.attribute("enabled") == "0" ||
                (channelSource && channelSource->attribute("active") == "0") ||
                isMutedByVolume(clip.clipVolume);
    if (channelSource) {
        if (auto role = channelSource->attribute("role")) {
            clip.audioRole = std::move(role);
        }
    }
    clip.effects = parseClipEffects(element, description_.resources);
    if (const auto* note = firstChildNamed(element, "note")) {
        clip.note = note->value();
    }

    clip.asset = *asset;
    clip.clipTime = ClipTime{
        .start = start,
        .offset = offset,
        .duration = itemTime.duration,
        .audioStart = itemTime.audioStart,
        .audioDuration = itemTime.audioDuration,
        .clipItem = itemTime.clipItem,
        .isValid = isValid,
    };
    clip.groupId = context.groupId;
    return clip;
}

Marker TimelineWalker::parseMarker(const xmltree::XMLElement& element, const WalkContext& context) {
    const ClipTime& parentTiming = context.parentTiming;
    ClipTime clipTime = parseClipTime(element);
    // The marker's start lies on its parent's media timeline; move it to sequence time.
    clipTime.offset = clipTime.start - parentTiming.start + parentTiming.offset - context.tcStart;
    clipTime.isValid = parentTiming.timeRange().contains(clipTime.start);
    if (!clipTime.isValid) {
        KOLT_LOG_ERROR(parseMarkerSignature, clipTime, "isn't in timeRange of parent",
                       parentTiming);
    }
    return Marker{textAttribute(element, "value").value_or(""), clipTime};
}

} // namespace kvnfcpx::detail
