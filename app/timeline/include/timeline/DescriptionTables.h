#pragma once

// The project header and the tables of asset clips and markers, as cells of text with the
// columns of the command line's report, for views that show them.

#include <koltutils/Describe.h>
#include <koltutils/OptionalValue.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velotrack::timeline {

// What the tables and the report show for an absent value.
inline constexpr std::string_view noneText = "-";

// The value as the tables and the report show it, or `noneText`.
template <koltutils::OptionalValue Optional> std::string orNone(const Optional& value) {
    return value ? koltutils::describe(*value) : std::string(noneText);
}

struct TableCell {
    std::string text{};
    // Where the text does not sort by itself (times, counts): the value to sort by.
    std::optional<double> sortValue{};
};

struct Table {
    std::vector<std::string> columns{};
    std::vector<std::vector<TableCell>> rows{};
};

// "Document version", "Project", "Frame rate", "Start timecode", "Duration", "Audio" with their
// values; the last four only when the project has a sequence. Absent values read "-".
std::vector<std::pair<std::string, std::string>>
headerFields(const kvnfcpx::FCPXMLDescription& description);

// The sequence's audio format as the header shows it: the rate's name and the layout ("48k,
// stereo"), either alone, or "-".
std::string audioText(const kvnfcpx::FCPXMLDescription::Sequence& sequence);

// "#", "Offset", "Duration", "Name", "Role", "Lane", "Volume", "Fade in", "Fade out", "Mute",
// "Effects", "Group": one row per asset clip in timeline order.
Table clipTable(const kvnfcpx::FCPXMLDescription& description);

// "Offset", "Kind", "Value": one row per marker and chapter marker.
Table markerTable(const kvnfcpx::FCPXMLDescription& description);

} // namespace velotrack::timeline
