#include "Commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <timecode/CMTimeString.h>
#include <timecode/Fraction.h>
#include <vector>

// `time <fcpxml-time>...` shows how the engine reads FCPXML time values: the strict reading
// (an exact fraction, and the string it prints back as) and the lenient reading the document
// parser uses (value over timescale). A value outside the strict grammar that still reads
// leniently is reported on stderr but is not a failure, because documents are read leniently;
// the exit status is 1 only when some argument has no reading at all.

namespace velotrack::cli {
namespace {

using Row = std::array<std::string, 5>; // argument, reading, ratio, seconds, FCPXML form

const Row header{"argument", "reading", "ratio", "seconds", "FCPXML"};

std::string secondsText(double seconds) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), seconds);
    return std::string(buffer.data(), result.ptr);
}

struct Readings {
    std::optional<timecode::Fraction> strict;
    std::optional<timecode::CMTime> lenient;
};

std::vector<Row> rowsFor(const std::string& argument, const Readings& readings) {
    std::vector<Row> rows;
    if (readings.strict) {
        rows.push_back({argument, "strict", readings.strict->description(),
                        secondsText(readings.strict->doubleValue()),
                        readings.strict->fcpxmlStringValue()});
    }
    if (readings.lenient) {
        const auto& time = *readings.lenient;
        rows.push_back({rows.empty() ? argument : "", "lenient",
                        std::to_string(time.value) + "/" + std::to_string(time.timescale),
                        secondsText(time.seconds()), ""});
    }
    return rows;
}

void reportFailures(const std::string& argument, const Readings& readings, std::ostream& errors) {
    const std::string quoted = "\"" + argument + "\"";
    if (!readings.strict && !readings.lenient) {
        errors << "error: " << quoted << " is not an FCPXML time\n";
    } else if (!readings.strict) {
        errors << "note: " << quoted
               << " is outside the strict FCPXML time grammar; it reads only leniently\n";
    } else if (!readings.lenient) {
        errors << "note: " << quoted
               << " reads strictly but has no usable timescale for the document parser\n";
    }
}

void printTable(const std::vector<Row>& rows, std::ostream& output) {
    std::array<std::size_t, header.size()> widths{};
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            line.append(widths[column] - row[column].size() + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        output << line << '\n';
    }
}

// Prints the readings of every argument; false when some argument has no reading at all.
bool runTimeCommand(const std::vector<std::string>& arguments, std::ostream& output,
                    std::ostream& errors) {
    std::vector<Row> rows{header};
    bool everyArgumentRead = true;
    for (const std::string& argument : arguments) {
        const Readings readings{timecode::Fraction::fromFcpxmlString(argument),
                                timecode::CMTimeString::parse(argument)};
        reportFailures(argument, readings, errors);
        everyArgumentRead = everyArgumentRead && (readings.strict || readings.lenient);
        const std::vector<Row> argumentRows = rowsFor(argument, readings);
        rows.insert(rows.end(), argumentRows.begin(), argumentRows.end());
    }
    if (rows.size() > 1) {
        printTable(rows, output);
    }
    return everyArgumentRead;
}

} // namespace

void addTimeCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "time", "Show the strict and the lenient reading of FCPXML time values (e.g. 1001/24000s)");
    auto arguments = std::make_shared<std::vector<std::string>>();
    command->add_option("fcpxml-time", *arguments, "FCPXML time values such as 3600/30s or 5s")
        ->required();
    command->callback([arguments] {
        if (!runTimeCommand(*arguments, std::cout, std::cerr)) {
            throw CLI::RuntimeError(1);
        }
    });
}

} // namespace velotrack::cli
