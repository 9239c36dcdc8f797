#include "CueSheet.h"

#include "DescriptionFormatting.h"

#include <algorithm>
#include <cstdio>
#include <koltutils/Describe.h>

namespace velotrack::cli {

namespace {

std::string mainRole(const std::string& role) {
    return role.substr(0, role.find('.'));
}

bool isSelected(const std::optional<std::string>& role, const std::vector<std::string>& roles) {
    return role && std::any_of(roles.begin(), roles.end(), [&](const std::string& wanted) {
               return *role == wanted || mainRole(*role) == wanted;
           });
}

std::string fileName(const kvnfcpx::Asset::MediaRep& mediaRep) {
    if (mediaRep.url) {
        return mediaRep.url->lastPathComponent();
    }
    if (const auto url = koltutils::URL::fromString(mediaRep.src)) {
        return url->lastPathComponent();
    }
    return mediaRep.src.substr(mediaRep.src.rfind('/') + 1);
}

ReportCell optionalText(const std::optional<std::string>& text) {
    return text ? ReportCell::textCell(*text) : ReportCell::empty();
}

ReportCell volumeCell(const std::optional<float>& volume) {
    if (!volume) {
        return ReportCell::empty();
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(*volume));
    return ReportCell::real(static_cast<double>(*volume), text);
}

ReportCell fadeCell(const std::optional<timecode::CMTime>& fade) {
    if (!fade) {
        return ReportCell::empty();
    }
    return ReportCell::time(koltutils::describe(fade->seconds()), exactTimeText(*fade));
}

} // namespace

std::vector<CueRow> cueRows(const kvnfcpx::FCPXMLDescription& description,
                            const std::vector<std::string>& roles) {
    std::vector<CueRow> rows;
    const auto& project = description.project;
    if (!project || !project->sequence || !project->sequence->content) {
        return rows;
    }
    for (const auto& clip : project->sequence->content->assetClips) {
        if (!isSelected(clip.audioRole, roles)) {
            continue;
        }
        const auto& time = clip.clipTime;
        CueRow row;
        row.name = clip.name;
        row.file = fileName(clip.asset->mediaRep);
        row.source = clip.asset->mediaRep.src;
        row.role = clip.audioRole;
        row.recordIn = time.offset;
        row.recordOut = time.offset + time.duration;
        row.sourceIn = time.start;
        row.sourceOut = time.start + time.duration;
        row.duration = time.duration;
        if (clip.clipVolume) {
            row.volume = clip.clipVolume->adjustVolume;
            row.fadeIn = clip.clipVolume->fadeIn;
            row.fadeOut = clip.clipVolume->fadeOut;
        }
        if (clip.groupId) {
            row.group = *clip.groupId;
        }
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const CueRow& lhs, const CueRow& rhs) {
        return lhs.recordIn < rhs.recordIn;
    });
    return rows;
}

std::vector<CueRow> mergedAcrossCuts(const std::vector<CueRow>& rows) {
    std::vector<CueRow> merged;
    for (const CueRow& row : rows) {
        if (!merged.empty()) {
            CueRow& last = merged.back();
            if (last.source == row.source && last.role == row.role &&
                last.recordOut == row.recordIn && last.sourceOut == row.sourceIn) {
                last.recordOut = row.recordOut;
                last.sourceOut = row.sourceOut;
                last.duration = last.duration + row.duration;
                last.fadeOut = row.fadeOut;
                continue;
            }
        }
        merged.push_back(row);
    }
    return merged;
}

ReportTable cueTable(const std::vector<CueRow>& rows, const ReportClock& clock,
                     const timecode::CMTime& tcStart) {
    ReportTable table{{"index", "name", "file", "role", "recordIn", "recordOut", "sourceIn",
                       "sourceOut", "duration", "volume", "fadeIn", "fadeOut", "group"},
                      {}};
    table.rows.reserve(rows.size());
    const auto timecodeCell = [&clock](const timecode::CMTime& time) {
        return ReportCell::time(clock.timecode(time), exactTimeText(time));
    };
    const auto recordCell = [&](const timecode::CMTime& offset) {
        return ReportCell::time(clock.record(offset), exactTimeText(tcStart + offset));
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CueRow& row = rows[i];
        table.rows.push_back({
            ReportCell::integer(static_cast<long long>(i + 1)),
            optionalText(row.name),
            ReportCell::textCell(row.file),
            optionalText(row.role),
            recordCell(row.recordIn),
            recordCell(row.recordOut),
            timecodeCell(row.sourceIn),
            timecodeCell(row.sourceOut),
            timecodeCell(row.duration),
            volumeCell(row.volume),
            fadeCell(row.fadeIn),
            fadeCell(row.fadeOut),
            optionalText(row.group),
        });
    }
    return table;
}

} // namespace velotrack::cli
