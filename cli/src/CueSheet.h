#pragma once

#include "ReportClock.h"
#include "ReportTable.h"

#include <kvnfcpx/FCPXMLDescription.h>
#include <optional>
#include <string>
#include <timecode/CMTime.h>
#include <vector>

namespace velotrack::cli {

// One flattened clip as a cue sheet lists it. Record times count from the sequence start
// (offsets); source times from the beginning of the media file.
struct CueRow {
    std::optional<std::string> name{};
    // The media file's name without its folder, and the full location the clip plays, which
    // tells two files of the same name apart when merging.
    std::string file{};
    std::string source{};
    std::optional<std::string> role{};
    timecode::CMTime recordIn{};
    timecode::CMTime recordOut{};
    timecode::CMTime sourceIn{};
    timecode::CMTime sourceOut{};
    timecode::CMTime duration{};
    std::optional<float> volume{};
    std::optional<timecode::CMTime> fadeIn{};
    std::optional<timecode::CMTime> fadeOut{};
    std::optional<std::string> group{};
};

// The clips whose role equals one of `roles` or whose main role (the part before the first
// ".") does, in timeline order: by offset, ties in the order of the flattened description.
std::vector<CueRow> cueRows(const kvnfcpx::FCPXMLDescription& description,
                            const std::vector<std::string>& roles);

// Joins each run of consecutive rows that play the same file in the same role and continue
// one another on the timeline and in the file (a clip split by a blade cut) into one row, which
// keeps the first row's name, volume, fade in and group and the last row's fade out.
std::vector<CueRow> mergedAcrossCuts(const std::vector<CueRow>& rows);

// index, name, file, role, recordIn, recordOut, sourceIn, sourceOut, duration, volume,
// fadeIn, fadeOut, group. Record times print as the timeline's timecode, source times and the
// duration as timecodes from 00:00:00:00, volume in dB with one decimal and fades in seconds;
// in JSON every time is exact (record times from the sequence's tcStart).
ReportTable cueTable(const std::vector<CueRow>& rows, const ReportClock& clock,
                     const timecode::CMTime& tcStart);

} // namespace velotrack::cli
