#include "timeline/DescriptionTables.h"

#include "timeline/TimeText.h"

#include <koltutils/Describe.h>
#include <koltutils/EnumTable.h>
#include <koltutils/OptionalBox.h>

namespace velotrack::timeline {

namespace {

using namespace kvnfcpx;

const std::vector<AssetClip>& clipsOf(const FCPXMLDescription& description) {
    static const std::vector<AssetClip> empty;
    const auto& project = description.project;
    return project && project->sequence && project->sequence->content
               ? project->sequence->content->assetClips
               : empty;
}

const std::vector<Marker>& markersOf(const FCPXMLDescription& description) {
    static const std::vector<Marker> empty;
    const auto& project = description.project;
    return project && project->sequence && project->sequence->content
               ? project->sequence->content->markers
               : empty;
}

TableCell timeCell(const timecode::CMTime& time,
                   const std::optional<timecode::TimecodeFrameRate>& rate) {
    return {timeText(time, rate), time.isNumeric() ? time.seconds() : 0.0};
}

TableCell fadeCell(const koltutils::OptionalBox<ClipVolume>& volume,
                   std::optional<timecode::CMTime> ClipVolume::*fade) {
    if (volume && (*volume).*fade) {
        return {secondsText(*((*volume).*fade)), ((*volume).*fade)->seconds()};
    }
    return {std::string(noneText), -1.0};
}

} // namespace

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
        return std::string(noneText);
    }
    return parts.size() == 1 ? parts[0] : parts[0] + ", " + parts[1];
}

std::vector<std::pair<std::string, std::string>>
headerFields(const FCPXMLDescription& description) {
    std::vector<std::pair<std::string, std::string>> fields{
        {"Document version", std::string(stringValue(description.version))}};
    const Project* project = description.project ? &*description.project : nullptr;
    const Sequence* sequence = project && project->sequence ? &*project->sequence : nullptr;
    fields.emplace_back("Project", project ? orNone(project->name) : "(none)");
    if (sequence) {
        const auto rate = description.frameRate();
        const auto start =
            rate ? description.projectStartTimecode() : std::optional<timecode::Timecode>();
        fields.emplace_back("Frame rate", rate ? std::string(timecode::stringValue(*rate))
                                               : std::string(noneText));
        fields.emplace_back("Start timecode",
                            start ? start->stringValue() : secondsText(sequence->tcStart));
        fields.emplace_back("Duration", sequence->duration ? timeText(*sequence->duration, rate)
                                                           : std::string(noneText));
        fields.emplace_back("Audio", audioText(*sequence));
    }
    return fields;
}

Table clipTable(const FCPXMLDescription& description) {
    const auto rate = description.frameRate();
    Table table{{"#", "Offset", "Duration", "Name", "Role", "Lane", "Volume", "Fade in", "Fade out",
                 "Mute", "Effects", "Group"},
                {}};
    const auto& clips = clipsOf(description);
    table.rows.reserve(clips.size());
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const AssetClip& clip = clips[i];
        const auto& volume = clip.clipVolume;
        const bool hasVolume = volume && volume->adjustVolume;
        const auto effects = clip.effects ? clip.effects->size() : 0;
        table.rows.push_back({
            {std::to_string(i + 1), static_cast<double>(i + 1)},
            timeCell(clip.clipTime.offset, rate),
            timeCell(clip.clipTime.duration, rate),
            {orNone(clip.name), std::nullopt},
            {orNone(clip.audioRole), std::nullopt},
            {orNone(clip.lane), static_cast<double>(clip.lane.value_or(0))},
            {hasVolume ? koltutils::describe(*volume->adjustVolume) + " dB" : std::string(noneText),
             hasVolume ? std::optional<double>(*volume->adjustVolume) : std::nullopt},
            fadeCell(volume, &ClipVolume::fadeIn),
            fadeCell(volume, &ClipVolume::fadeOut),
            {clip.mute ? "yes" : "no", std::nullopt},
            {std::to_string(effects), static_cast<double>(effects)},
            {orNone(clip.groupId), std::nullopt},
        });
    }
    return table;
}

Table markerTable(const FCPXMLDescription& description) {
    const auto rate = description.frameRate();
    Table table{{"Offset", "Kind", "Value"}, {}};
    for (const Marker& marker : markersOf(description)) {
        table.rows.push_back({timeCell(marker.clipTime.offset, rate),
                              {std::string(koltutils::rawValue(marker.kind())), std::nullopt},
                              {marker.value, std::nullopt}});
    }
    return table;
}

} // namespace velotrack::timeline
