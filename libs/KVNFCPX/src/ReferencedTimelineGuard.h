#pragma once

#include "kvnfcpx/FCPXMLDescription.h"
#include "kvnfcpx/Media.h"

#include <cstddef>

namespace kvnfcpx::detail {

// Compound and multicam clips refer to their inner timeline by id, so a small document can ask
// for an enormous walk (media that refer to one another twice on every level) or an endless
// one (media that refer to themselves). The nesting bound of the walk stops the endless case
// only after 2^depth steps when a timeline is referred to more than once per level.
//
// So, before the outermost expansion of a referenced timeline in a walk begins, the
// elements it would walk are counted, every nested referenced timeline as often as it is
// referred to (each measured once and remembered), and the expansion is refused when a
// timeline refers back to itself or the count passes maxExpandedElements. Expansions nested
// inside an admitted one were counted with it and are admitted without a second count.
class ReferencedTimelineGuard {
public:
    // Far beyond the largest real projects (a compound clip holding a whole 50 000-clip
    // timeline walks well under a million elements), small enough to be walked in seconds.
    static constexpr std::size_t maxExpandedElements = std::size_t{1} << 22;

    // `activeExpansions` is the walk's count of admitted expansions under way, kept up to date
    // by the guards; it must outlive them.
    ReferencedTimelineGuard(const FCPXMLDescription& description, const Media& media,
                            std::size_t& activeExpansions);
    ~ReferencedTimelineGuard();
    ReferencedTimelineGuard(const ReferencedTimelineGuard&) = delete;
    ReferencedTimelineGuard& operator=(const ReferencedTimelineGuard&) = delete;

    [[nodiscard]] bool admitted() const noexcept { return admitted_; }

private:
    std::size_t& activeExpansions_;
    bool admitted_ = false;
};

} // namespace kvnfcpx::detail
