#pragma once

// The walk that flattens a document's timelines into clips and markers, compound, multicam and
// sync clips resolved.
//
// One walker serves one load. It reads the description it fills (version, parser options,
// resources) and keeps what the whole load shares: the group identifiers it has made and the
// referenced timelines it is expanding. What differs from one level of the walk to the next
// travels in a WalkContext, so no state hides in globals or per-thread counters and two loads
// on one thread, or on two threads, never see each other.

#include "kvnfcpx/AssetClip.h"
#include "kvnfcpx/ClipEffect.h"
#include "kvnfcpx/ClipItem.h"
#include "kvnfcpx/ClipTime.h"
#include "kvnfcpx/ClipVolume.h"
#include "kvnfcpx/FCPXMLDescription.h"
#include "kvnfcpx/Marker.h"
#include "kvnfcpx/Sequence.h"
#include "kvnfcpx/SequenceContent.h"

#include <cstddef>
#include <cstdint>
#include <koltutils/SharedOptional.h>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <timecode/CMTime.h>
#include <vector>
#include <xmltree/XMLElement.h>

namespace kvnfcpx::detail {

using XMLElementPtr = std::shared_ptr<xmltree::XMLElement>;

// Where one level of the walk stands.
struct WalkContext {
    // The start of the timeline being walked (its tcStart): offsets are read relative to it.
    timecode::CMTime tcStart = timecode::CMTime::zero;
    // The timing of the element whose children are walked; all zero on a main timeline.
    ClipTime parentTiming{};
    // The group the clips found here belong to; set inside compound and sync clips.
    koltutils::SharedOptional<std::string> groupId{};
    // The walks that enclose this one: 0 on the main timeline.
    std::size_t depth = 0;

    // The context of a walk one level down.
    [[nodiscard]] WalkContext nested(timecode::CMTime innerTcStart, ClipTime timing,
                                     koltutils::SharedOptional<std::string> group) const {
        return WalkContext{std::move(innerTcStart), std::move(timing), std::move(group), depth + 1};
    }
};

class TimelineWalker {
public:
    // `description` must hold its version, parser options and resources; it outlives the walker.
    explicit TimelineWalker(const FCPXMLDescription& description) noexcept;

    // The sequence element's attributes and its flattened content (invalid entries removed).
    [[nodiscard]] Sequence parseSequence(const xmltree::XMLElement& from);

    // Walks sibling elements depth first; nothing when both lists come out empty. Entries that
    // lie outside their parent are returned marked invalid.
    [[nodiscard]] std::optional<SequenceContent> parseItems(std::span<const XMLElementPtr> from,
                                                            const WalkContext& context);

    // An "asset-clip" or "clip" element; nothing when it has no ref, audio or asset.
    [[nodiscard]] std::optional<AssetClip> parseClip(ClipItem clipItem,
                                                     const xmltree::XMLElement& element,
                                                     const ClipTime& itemTime,
                                                     const WalkContext& context) const;

    // A "marker" or "chapter-marker" element.
    [[nodiscard]] static Marker parseMarker(const xmltree::XMLElement& element,
                                            const WalkContext& context);

    // Compound, multicam and sync clips, each resolved into the clips (and markers) of the
    // timeline it holds, placed on the enclosing one. `itemTime` is the container's own timing.
    [[nodiscard]] std::optional<std::vector<AssetClip>>
    parseRefClip(const xmltree::XMLElement& element, const ClipTime& itemTime,
                 const WalkContext& context);
    [[nodiscard]] std::optional<SequenceContent>
    parseMultiCamClip(const xmltree::XMLElement& element, const ClipTime& itemTime,
                      const WalkContext& context);
    [[nodiscard]] std::optional<SequenceContent> parseSyncClip(const xmltree::XMLElement& element,
                                                               const ClipTime& itemTime,
                                                               const WalkContext& context);

    // A multicam angle clip moved to the multicam clip's place (`containerOffset`, from the
    // enclosing start) and audio range; `tcStart` is the multicam's own start. The multicam
    // clip's volume and effects are folded in.
    [[nodiscard]] static AssetClip
    updateInteriorClipWithContainerOffset(AssetClip assetClip, const ClipTime& containerClipTime,
                                          const timecode::CMTime& containerOffset,
                                          const timecode::CMTime& tcStart,
                                          const std::optional<ClipVolume>& clipVolume,
                                          const std::optional<std::vector<ClipEffect>>& effects);
    // A multicam angle marker moved by the multicam clip's offset; invalid (and logged) outside
    // [0, containerEndTime).
    [[nodiscard]] static Marker updateInteriorMarker(Marker marker,
                                                     const ClipTime& containerClipTime,
                                                     const timecode::CMTime& containerEndTime,
                                                     const timecode::CMTime& tcStart);

    // The clip a sync clip was synchronised on: with two or more clip children and a
    // "sync-source", the first clip whose audio role contains the sync role; else the first
    // clip child. Null (logged) when none can be identified.
    [[nodiscard]] static XMLElementPtr getSyncSource(const xmltree::XMLElement& element);
    // A sync source clip trimmed to the sync clip's in-point and length, with the sync clip's
    // volume and effects folded in, fades in the trimmed parts removed, and marked invalid when
    // it starts at or past `containerEndTime`.
    [[nodiscard]] static AssetClip
    updateInteriorClipWithContainerEndTime(AssetClip assetClip, const ClipTime& containerClipTime,
                                           const timecode::CMTime& containerEndTime,
                                           const timecode::CMTime& tcStart,
                                           const std::optional<ClipVolume>& clipVolume,
                                           const std::optional<std::vector<ClipEffect>>& effects);
    // A sync source marker moved to its distance from the sync clip's in-point; invalid (and
    // logged) outside [0, containerEndTime).
    [[nodiscard]] static Marker updateInteriorMarker(Marker marker,
                                                     const ClipTime& containerClipTime,
                                                     const timecode::CMTime& containerEndTime);

private:
    // What one walk collects: clips and markers, each list with its own duplicate rules.
    struct WalkResult;

    [[nodiscard]] Sequence parseSequence(const xmltree::XMLElement& from, std::size_t depth);
    // parseItems over elements the walk owns, each let go of once walked.
    [[nodiscard]] std::optional<SequenceContent>
    parseItemsReleasing(std::vector<XMLElementPtr> from, const WalkContext& context);
    // What parseItems and parseItemsReleasing share: `from` is looked at before the walk, and
    // `nextElement` gives its elements in order, one a call, while the walk goes.
    template <class NextElement>
    [[nodiscard]] std::optional<SequenceContent> parseSiblings(std::span<const XMLElementPtr> from,
                                                               const WalkContext& context,
                                                               NextElement nextElement);
    // One element of a sibling list, its clips and markers added to `result`.
    void parseItem(xmltree::XMLElement& element, const WalkContext& context, WalkResult& result);
    // The identifier of a new group: random, or with stable identifiers the number of groups
    // this walker made before it (see stableIdentifier()).
    [[nodiscard]] std::string newGroupIdentifier();

    const FCPXMLDescription& description_;
    std::uint64_t groupsMade_ = 0;
    // Referenced timelines (compound and multicam media) being expanded right now; see
    // ReferencedTimelineGuard.
    std::size_t activeExpansions_ = 0;
};

} // namespace kvnfcpx::detail
