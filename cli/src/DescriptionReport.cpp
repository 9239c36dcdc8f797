#include "DescriptionReport.h"

#include "DescriptionFormatting.h"

#include <algorithm>
#include <koltutils/Describe.h>
#include <koltutils/EnumTable.h>
#include <sstream>
#include <vector>

namespace velotrack::cli {

namespace {

using namespace kvnfcpx;

constexpr std::string_view none = "-";

// Left-aligned columns separated by two spaces, each as wide as its widest cell.
class TextTable {
public:
    explicit TextTable(std::vector<std::string> header) : rows_{std::move(header)} {}

    void addRow(std::vector<std::string> row) { rows_.push_back(std::move(row)); }

    void print(std::ostream& out) const {
        std::vector<std::size_t> widths(rows_.front().size(), 0);
        for (const auto& row : rows_) {
            for (std::size_t column = 0; column < row.size(); ++column) {
                widths[column] = std::max(widths[column], displayWidth(row[column]));
            }
        }
        for (const auto& row : rows_) {
            std::string line;
            for (std::size_t column = 0; column < row.size(); ++column) {
                line += row[column];
                if (column + 1 < row.size()) {
                    line.append(widths[column] - displayWidth(row[column]) + 2, ' ');
                }
            }
            out << line << '\n';
        }
    }

private:
    // Code points, not bytes, so names with accents keep the columns straight.
    static std::size_t displayWidth(const std::string& text) {
        return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    }

    std::vector<std::vector<std::string>> rows_;
};

// A timecode at the sequence's rate when there is one and the time fits, else seconds.
std::string timeText(const timecode::CMTime& time,
                     const std::optional<timecode::TimecodeFrameRate>& rate) {
    if (rate) {
        try {
            return timecode::Timecode::fromCMTime(time, timecode::Timecode::Properties(*rate))
                .stringValue();
        } catch (const std::exception&) {
            // Negative or beyond 24 hours: shown in seconds below.
        }
    }
    return secondsText(time);
}

template <typename T> std::string orNone(const std::optional<T>& value) {
    return value ? koltutils::describe(*value) : std::string(none);
}

std::string audioText(const Sequence& sequence) {
    std::vector<std::string> parts;
    if (sequence.audioRate) {
        const auto name = audioRateName(*sequence.audioRate);
        parts.push_back(name ? std::string(*name) : koltutils::describe(*sequence.audioRate));
    }
    if (sequence.audioLayout) {
        parts.emplace_back(koltutils::rawValue(*sequence.audioLayout));
    }
    if (parts.empty()) {
        return std::string(none);
    }
    return parts.size() == 1 ? parts[0] : parts[0] + ", " + parts[1];
}

void printSettings(std::ostream& out, const FCPXMLDescription& description,
                   const std::optional<timecode::TimecodeFrameRate>& rate) {
    TextTable settings({"Document version", std::string(stringValue(description.version))});
    const Project* project = description.project ? &*description.project : nullptr;
    const Sequence* sequence = project && project->sequence ? &*project->sequence : nullptr;
    settings.addRow({"Project", project ? orNone(project->name) : "(none)"});
    if (sequence) {
        const auto start =
            rate ? description.projectStartTimecode() : std::optional<timecode::Timecode>();
        settings.addRow({"Frame rate", rate ? frameRateText(*rate) : std::string(none)});
        settings.addRow(
            {"Start timecode", start ? start->stringValue() : secondsText(sequence->tcStart)});
        settings.addRow({"Duration", sequence->duration ? timeText(*sequence->duration, rate)
                                                        : std::string(none)});
        settings.addRow({"Audio", audioText(*sequence)});
    }
    settings.print(out);
}

std::string volumeText(const std::optional<ClipVolume>& volume) {
    return volume && volume->adjustVolume ? koltutils::describe(*volume->adjustVolume) + " dB"
                                          : std::string(none);
}

std::string fadeText(const std::optional<ClipVolume>& volume,
                     std::optional<timecode::CMTime> ClipVolume::*fade) {
    return volume && (*volume).*fade ? secondsText(*((*volume).*fade)) : std::string(none);
}

void printClips(std::ostream& out, const std::vector<AssetClip>& clips,
                const std::optional<timecode::TimecodeFrameRate>& rate) {
    out << "\nAsset clips (" << clips.size() << ")\n";
    TextTable table({"#", "Offset", "Duration", "Name", "Role", "Lane", "Volume", "Fade in",
                     "Fade out", "Mute", "Effects", "Group"});
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const AssetClip& clip = clips[i];
        table.addRow({
            std::to_string(i + 1),
            timeText(clip.clipTime.offset, rate),
            timeText(clip.clipTime.duration, rate),
            orNone(clip.name),
            orNone(clip.audioRole),
            orNone(clip.lane),
            volumeText(clip.clipVolume),
            fadeText(clip.clipVolume, &ClipVolume::fadeIn),
            fadeText(clip.clipVolume, &ClipVolume::fadeOut),
            clip.mute ? "yes" : "no",
            std::to_string(clip.effects ? clip.effects->size() : 0),
            orNone(clip.groupId),
        });
    }
    table.print(out);
}

void printMarkers(std::ostream& out, const std::vector<Marker>& markers,
                  const std::optional<timecode::TimecodeFrameRate>& rate) {
    out << "\nMarkers (" << markers.size() << ")\n";
    TextTable table({"Offset", "Kind", "Value"});
    for (const Marker& marker : markers) {
        table.addRow({timeText(marker.clipTime.offset, rate),
                      std::string(koltutils::rawValue(marker.kind())), marker.value});
    }
    table.print(out);
}

} // namespace

std::string descriptionReport(const FCPXMLDescription& description) {
    std::ostringstream out;
    const auto rate = description.frameRate();
    printSettings(out, description, rate);
    const auto& project = description.project;
    const auto* content = project && project->sequence && project->sequence->content
                              ? &*project->sequence->content
                              : nullptr;
    printClips(out, content ? content->assetClips : std::vector<AssetClip>{}, rate);
    printMarkers(out, content ? content->markers : std::vector<Marker>{}, rate);
    return std::move(out).str();
}

} // namespace velotrack::cli
