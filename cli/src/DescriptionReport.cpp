#include "DescriptionReport.h"

#include "DescriptionFormatting.h"

#include <algorithm>
#include <array>
#include <koltutils/Describe.h>
#include <koltutils/EnumTable.h>
#include <koltutils/OptionalBox.h>
#include <timeline/DescriptionTables.h>
#include <timeline/TimeText.h>
#include <vector>

namespace velotrack::cli {

namespace {

using namespace kvnfcpx;
using velotrack::timeline::audioText;
using velotrack::timeline::noneText;
using velotrack::timeline::orNone;
using velotrack::timeline::timeText;

// Code points, not bytes, so names with accents keep the columns straight.
std::size_t displayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Left-aligned columns separated by two spaces, each as wide as its widest cell. The rows are
// made twice, by `fill(row, cells)`, instead of being kept: once to measure the columns, once
// to print, so a table of any length costs the memory of one row.
template <std::size_t Columns, typename Fill>
void printTable(std::ostream& out, const std::array<std::string_view, Columns>& header,
                std::size_t rowCount, const Fill& fill) {
    std::array<std::size_t, Columns> widths{};
    std::array<std::string, Columns> cells;
    for (std::size_t column = 0; column < Columns; ++column) {
        widths[column] = displayWidth(header[column]);
    }
    for (std::size_t row = 0; row < rowCount; ++row) {
        fill(row, cells);
        for (std::size_t column = 0; column < Columns; ++column) {
            widths[column] = std::max(widths[column], displayWidth(cells[column]));
        }
    }
    std::string line;
    const auto printLine = [&](const auto& row) {
        line.clear();
        for (std::size_t column = 0; column < Columns; ++column) {
            line += row[column];
            if (column + 1 < Columns) {
                line.append(widths[column] - displayWidth(row[column]) + 2, ' ');
            }
        }
        line += '\n';
        out << line;
    };
    printLine(header);
    for (std::size_t row = 0; row < rowCount; ++row) {
        fill(row, cells);
        printLine(cells);
    }
}

void printSettings(std::ostream& out, const FCPXMLDescription& description,
                   const std::optional<timecode::TimecodeFrameRate>& rate) {
    const Project* project = description.project ? &*description.project : nullptr;
    const Sequence* sequence = project && project->sequence ? &*project->sequence : nullptr;
    std::vector<std::array<std::string, 2>> rows;
    rows.push_back({"Project", project ? orNone(project->name) : "(none)"});
    if (sequence) {
        const auto start =
            rate ? description.projectStartTimecode() : std::optional<timecode::Timecode>();
        rows.push_back({"Frame rate", rate ? frameRateText(*rate) : std::string(noneText)});
        rows.push_back(
            {"Start timecode", start ? start->stringValue() : secondsText(sequence->tcStart)});
        rows.push_back({"Duration", sequence->duration ? timeText(*sequence->duration, rate)
                                                       : std::string(noneText)});
        rows.push_back({"Audio", audioText(*sequence)});
    }
    printTable<2>(out, {"Document version", stringValue(description.version)}, rows.size(),
                  [&rows](std::size_t row, auto& cells) { cells = rows[row]; });
}

std::string volumeText(const koltutils::OptionalBox<ClipVolume>& volume) {
    return volume && volume->adjustVolume ? koltutils::describe(*volume->adjustVolume) + " dB"
                                          : std::string(noneText);
}

std::string fadeText(const koltutils::OptionalBox<ClipVolume>& volume,
                     std::optional<timecode::CMTime> ClipVolume::*fade) {
    return volume && (*volume).*fade ? secondsText(*((*volume).*fade)) : std::string(noneText);
}

void printClips(std::ostream& out, const std::vector<AssetClip>& clips,
                const std::optional<timecode::TimecodeFrameRate>& rate) {
    out << "\nAsset clips (" << clips.size() << ")\n";
    printTable<12>(out,
                   {"#", "Offset", "Duration", "Name", "Role", "Lane", "Volume", "Fade in",
                    "Fade out", "Mute", "Effects", "Group"},
                   clips.size(), [&](std::size_t i, auto& cells) {
                       const AssetClip& clip = clips[i];
                       cells[0] = std::to_string(i + 1);
                       cells[1] = timeText(clip.clipTime.offset, rate);
                       cells[2] = timeText(clip.clipTime.duration, rate);
                       cells[3] = orNone(clip.name);
                       cells[4] = orNone(clip.audioRole);
                       cells[5] = orNone(clip.lane);
                       cells[6] = volumeText(clip.clipVolume);
                       cells[7] = fadeText(clip.clipVolume, &ClipVolume::fadeIn);
                       cells[8] = fadeText(clip.clipVolume, &ClipVolume::fadeOut);
                       cells[9] = clip.mute ? "yes" : "no";
                       cells[10] = std::to_string(clip.effects ? clip.effects->size() : 0);
                       cells[11] = orNone(clip.groupId);
                   });
}

void printMarkers(std::ostream& out, const std::vector<Marker>& markers,
                  const std::optional<timecode::TimecodeFrameRate>& rate) {
    out << "\nMarkers (" << markers.size() << ")\n";
    printTable<3>(out, {"Offset", "Kind", "Value"}, markers.size(),
                  [&](std::size_t i, auto& cells) {
                      const Marker& marker = markers[i];
                      cells[0] = timeText(marker.clipTime.offset, rate);
                      cells[1] = koltutils::rawValue(marker.kind());
                      cells[2] = marker.value;
                  });
}

} // namespace

void writeDescriptionReport(const FCPXMLDescription& description, std::ostream& out) {
    const auto rate = description.frameRate();
    printSettings(out, description, rate);
    const auto& project = description.project;
    const auto* content = project && project->sequence && project->sequence->content
                              ? &*project->sequence->content
                              : nullptr;
    static const std::vector<AssetClip> noClips;
    static const std::vector<Marker> noMarkers;
    printClips(out, content ? content->assetClips : noClips, rate);
    printMarkers(out, content ? content->markers : noMarkers, rate);
}

} // namespace velotrack::cli
