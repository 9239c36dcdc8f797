#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velotrack::cli {

// One value of a report: the text CSV and TSV print, and the JSON value it stands for.
struct ReportCell {
    enum class JSONType { string, integer, number, null };

    std::string text{};
    JSONType jsonType = JSONType::string;
    // The JSON string when it differs from `text` (exact times against printed timecodes).
    std::optional<std::string> jsonText{};
    long long integerValue = 0;
    double number = 0;

    static ReportCell textCell(std::string text);
    // An empty CSV field, null in JSON.
    static ReportCell empty();
    static ReportCell integer(long long value);
    // `text` for CSV and TSV ("-6.0"); the number itself in JSON.
    static ReportCell real(double value, std::string text);
    // A timecode (or other printed time) in CSV and TSV, the exact time in JSON.
    static ReportCell time(std::string printed, std::string exact);
};

// The rows every report format writes: a header of column names (the JSON keys as well) and
// rows of as many cells. A format is one writer over this.
struct ReportTable {
    std::vector<std::string> columns{};
    std::vector<std::vector<ReportCell>> rows{};
};

// RFC 4180: fields quoted when they hold a comma, a quote or a line break (quotes doubled),
// every record ends in CRLF, the last one included.
void writeCSV(const ReportTable& table, std::ostream& out);

// The message naming the first row (counted from 1 after the header) whose value holds a tab or
// a line break, which TSV cannot carry; nothing when the table fits.
std::optional<std::string> tsvRefusal(const ReportTable& table);
// Tab-separated, LF-ended records, no quoting. Check tsvRefusal() first.
void writeTSV(const ReportTable& table, std::ostream& out);

// One array of objects keyed by the column names.
void writeJSON(const ReportTable& table, std::ostream& out);

// Writes in "csv", "tsv" or "json". When TSV cannot hold the table nothing is written and the
// refusal comes back.
std::optional<std::string> writeReport(const ReportTable& table, std::string_view format,
                                       std::ostream& out);

} // namespace velotrack::cli
