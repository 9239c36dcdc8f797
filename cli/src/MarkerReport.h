#pragma once

#include "ReportClock.h"
#include "ReportTable.h"

#include <kvnfcpx/FCPXMLDescription.h>
#include <optional>
#include <string>
#include <timecode/CMTime.h>
#include <vector>

namespace velotrack::cli {

// One marker of the timeline as the marker reports list it.
struct MarkerRow {
    timecode::CMTime offset{};
    timecode::CMTime duration{};
    kvnfcpx::Marker::MarkerKind kind = kvnfcpx::Marker::MarkerKind::comment;
    std::string value{};
};

// The sequence's markers (of one kind, or all), in timeline order: by offset, ties in the order
// of the flattened description.
std::vector<MarkerRow> markerRows(const kvnfcpx::FCPXMLDescription& description,
                                  std::optional<kvnfcpx::Marker::MarkerKind> kind);

// index, record, offset, duration, kind, value; offset and duration exact in JSON.
ReportTable markerTable(const std::vector<MarkerRow>& rows, const ReportClock& clock);

// The chapter lines video platforms read in a description ("M:SS Title", "H:MM:SS Title"),
// and one warning line for each of their rules the list breaks.
struct ChapterList {
    std::vector<std::string> lines{};
    std::vector<std::string> warnings{};
};

// `chapters` in timeline order; a chapter lasts until the next one, the last until the end of
// the sequence (when the sequence has a duration).
ChapterList chapterList(const std::vector<MarkerRow>& chapters,
                        const std::optional<timecode::CMTime>& sequenceDuration);

// A WebVTT chapters track: one cue per chapter, from its offset to the next chapter's, the
// last ending at the sequence's duration (or after its own marker duration when there is none).
std::string webVTTChapters(const std::vector<MarkerRow>& chapters,
                           const std::optional<timecode::CMTime>& sequenceDuration);

} // namespace velotrack::cli
