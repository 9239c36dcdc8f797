#include "ReportTable.h"

#include "JSONWriter.h"

namespace velotrack::cli {

ReportCell ReportCell::textCell(std::string text) {
    return ReportCell{std::move(text)};
}

ReportCell ReportCell::empty() {
    return ReportCell{{}, JSONType::null};
}

ReportCell ReportCell::integer(long long value) {
    ReportCell cell{std::to_string(value), JSONType::integer};
    cell.integerValue = value;
    return cell;
}

ReportCell ReportCell::real(double value, std::string text) {
    ReportCell cell{std::move(text), JSONType::number};
    cell.number = value;
    return cell;
}

ReportCell ReportCell::time(std::string printed, std::string exact) {
    ReportCell cell{std::move(printed)};
    cell.jsonText = std::move(exact);
    return cell;
}

namespace {

void writeCSVField(const std::string& field, std::ostream& out) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out << field;
        return;
    }
    out << '"';
    for (const char c : field) {
        if (c == '"') {
            out << '"';
        }
        out << c;
    }
    out << '"';
}

template <typename Text>
void writeSeparated(const ReportTable& table, std::ostream& out, char separator,
                    std::string_view end, const Text& text) {
    const auto writeRecord = [&](const auto& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                out << separator;
            }
            text(fields[i]);
        }
        out << end;
    };
    writeRecord(table.columns);
    for (const auto& row : table.rows) {
        writeRecord(row);
    }
}

const std::string& textOf(const std::string& field) {
    return field;
}

const std::string& textOf(const ReportCell& cell) {
    return cell.text;
}

} // namespace

void writeCSV(const ReportTable& table, std::ostream& out) {
    const auto field = [&out](const auto& value) { writeCSVField(textOf(value), out); };
    writeSeparated(table, out, ',', "\r\n", field);
}

std::optional<std::string> tsvRefusal(const ReportTable& table) {
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const auto& cells = table.rows[row];
        for (std::size_t column = 0; column < cells.size(); ++column) {
            if (cells[column].text.find_first_of("\t\r\n") != std::string::npos) {
                return "error: row " + std::to_string(row + 1) + " cannot be written as TSV: its " +
                       table.columns[column] + " holds a tab or a line break (use --format csv)";
            }
        }
    }
    return std::nullopt;
}

void writeTSV(const ReportTable& table, std::ostream& out) {
    const auto field = [&out](const auto& value) { out << textOf(value); };
    writeSeparated(table, out, '\t', "\n", field);
}

void writeJSON(const ReportTable& table, std::ostream& out) {
    JSONWriter json(out);
    json.beginArray();
    for (const auto& row : table.rows) {
        json.beginObject();
        for (std::size_t column = 0; column < row.size(); ++column) {
            const ReportCell& cell = row[column];
            json.key(table.columns[column]);
            switch (cell.jsonType) {
            case ReportCell::JSONType::string:
                json.string(cell.jsonText ? *cell.jsonText : cell.text);
                break;
            case ReportCell::JSONType::integer:
                json.integer(cell.integerValue);
                break;
            case ReportCell::JSONType::number:
                json.number(cell.number);
                break;
            case ReportCell::JSONType::null:
                json.null();
                break;
            }
        }
        json.endObject();
    }
    json.endArray();
    json.flush();
    out << '\n';
}

std::optional<std::string> writeReport(const ReportTable& table, std::string_view format,
                                       std::ostream& out) {
    if (format == "json") {
        writeJSON(table, out);
    } else if (format == "tsv") {
        if (auto refusal = tsvRefusal(table)) {
            return refusal;
        }
        writeTSV(table, out);
    } else {
        writeCSV(table, out);
    }
    return std::nullopt;
}

} // namespace velotrack::cli
