#include "MarkerReport.h"

#include "DescriptionFormatting.h"

#include <algorithm>
#include <cstdio>
#include <koltutils/EnumTable.h>

namespace velotrack::cli {

namespace {

__extension__ using Wide = __int128;

// Whole seconds of a numeric time, rounded down.
long long wholeSeconds(const timecode::CMTime& time) {
    if (!time.isNumeric()) {
        return 0;
    }
    const long long seconds = time.value / time.timescale;
    return time.value % time.timescale < 0 ? seconds - 1 : seconds;
}

// "0:00", "12:05" below an hour, "1:02:03" from an hour on.
std::string chapterTime(long long seconds) {
    char text[32];
    if (seconds < 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    }
    return text;
}

// "HH:MM:SS.mmm", to the nearest millisecond.
std::string vttTime(const timecode::CMTime& time) {
    long long milliseconds = 0;
    if (time.isNumeric() && time.value > 0) {
        const Wide scaled = static_cast<Wide>(time.value) * 2000 + time.timescale;
        milliseconds = static_cast<long long>(scaled / (static_cast<Wide>(time.timescale) * 2));
    }
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", milliseconds / 3'600'000,
                  milliseconds / 60'000 % 60, milliseconds / 1000 % 60, milliseconds % 1000);
    return text;
}

// A cue's text may not hold a blank line or "-->", and "&" and "<" start markup.
std::string vttText(const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
            text += ' ';
        } else if (c == '&') {
            text += "&amp;";
        } else if (c == '<') {
            text += "&lt;";
        } else if (c == '>') {
            text += "&gt;";
        } else {
            text += c;
        }
    }
    return text;
}

// Where each chapter ends: the next chapter's offset, the last one the sequence's end.
std::vector<std::optional<timecode::CMTime>>
chapterEnds(const std::vector<MarkerRow>& chapters,
            const std::optional<timecode::CMTime>& sequenceDuration) {
    std::vector<std::optional<timecode::CMTime>> ends;
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        ends.push_back(i + 1 < chapters.size() ? std::optional(chapters[i + 1].offset)
                                               : sequenceDuration);
    }
    return ends;
}

} // namespace

std::vector<MarkerRow> markerRows(const kvnfcpx::FCPXMLDescription& description,
                                  std::optional<kvnfcpx::Marker::MarkerKind> kind) {
    std::vector<MarkerRow> rows;
    const auto& project = description.project;
    if (!project || !project->sequence || !project->sequence->content) {
        return rows;
    }
    for (const auto& marker : project->sequence->content->markers) {
        if (!kind || marker.kind() == *kind) {
            rows.push_back(
                {marker.clipTime.offset, marker.clipTime.duration, marker.kind(), marker.value});
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const MarkerRow& lhs, const MarkerRow& rhs) {
        return lhs.offset < rhs.offset;
    });
    return rows;
}

ReportTable markerTable(const std::vector<MarkerRow>& rows, const ReportClock& clock) {
    ReportTable table{{"index", "record", "offset", "duration", "kind", "value"}, {}};
    table.rows.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MarkerRow& row = rows[i];
        table.rows.push_back({
            ReportCell::integer(static_cast<long long>(i + 1)),
            ReportCell::textCell(clock.record(row.offset)),
            ReportCell::time(clock.timecode(row.offset), exactTimeText(row.offset)),
            ReportCell::time(clock.timecode(row.duration), exactTimeText(row.duration)),
            ReportCell::textCell(std::string(koltutils::rawValue(row.kind))),
            ReportCell::textCell(row.value),
        });
    }
    return table;
}

ChapterList chapterList(const std::vector<MarkerRow>& chapters,
                        const std::optional<timecode::CMTime>& sequenceDuration) {
    ChapterList list;
    for (const auto& chapter : chapters) {
        list.lines.push_back(chapterTime(wholeSeconds(chapter.offset)) + " " + chapter.value);
    }
    if (!chapters.empty() && wholeSeconds(chapters.front().offset) != 0) {
        list.warnings.push_back("warning: the first chapter starts at " +
                                chapterTime(wholeSeconds(chapters.front().offset)) +
                                ", not at 0:00");
    }
    if (chapters.size() < 3) {
        list.warnings.push_back("warning: " + std::to_string(chapters.size()) +
                                (chapters.size() == 1 ? " chapter" : " chapters") +
                                ", fewer than the three a chapter list needs");
    }
    const auto ends = chapterEnds(chapters, sequenceDuration);
    const auto tenSeconds = timecode::CMTime::make(10, 1);
    std::string shortOnes;
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        if (ends[i] && *ends[i] - chapters[i].offset < tenSeconds) {
            shortOnes += (shortOnes.empty() ? "" : ", ") + list.lines[i];
        }
    }
    if (!shortOnes.empty()) {
        list.warnings.push_back("warning: chapters shorter than 10 seconds: " + shortOnes);
    }
    return list;
}

std::string webVTTChapters(const std::vector<MarkerRow>& chapters,
                           const std::optional<timecode::CMTime>& sequenceDuration) {
    std::string text = "WEBVTT\n";
    const auto ends = chapterEnds(chapters, sequenceDuration);
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const auto end = ends[i] ? *ends[i] : chapters[i].offset + chapters[i].duration;
        // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict inside the inlined
        // insertion of a literal before a temporary string.
        text += '\n';
        text += vttTime(chapters[i].offset) + " --> " + vttTime(end) + "\n" +
                vttText(chapters[i].value) + "\n";
    }
    return text;
}

} // namespace velotrack::cli
