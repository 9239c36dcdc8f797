#include "Commands.h"
#include "DocumentLoading.h"
#include "MarkerReport.h"
#include "ReportTable.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

namespace velotrack::cli {

namespace {

struct MarkersOptions {
    std::string path;
    std::string format = "csv";
    std::string kind = "all";
    kvnfcpx::ParserOptions reading{};
    std::string logLevel = "error";
};

std::optional<kvnfcpx::Marker::MarkerKind> kindOf(const std::string& name) {
    if (name == "comment") {
        return kvnfcpx::Marker::MarkerKind::comment;
    }
    if (name == "chapter") {
        return kvnfcpx::Marker::MarkerKind::chapter;
    }
    return std::nullopt;
}

void markers(const MarkersOptions& options) {
    installLogSink(options.logLevel);
    const auto description = loadDescription(options.path, options.reading);
    const auto& sequence = description.project ? description.project->sequence : std::nullopt;
    const auto duration = sequence ? sequence->duration : std::nullopt;
    if (options.format == "chapters") {
        const auto list =
            chapterList(markerRows(description, kvnfcpx::Marker::MarkerKind::chapter), duration);
        for (const auto& line : list.lines) {
            std::cout << line << '\n';
        }
        std::cout.flush();
        for (const auto& warning : list.warnings) {
            std::cerr << warning << '\n';
        }
        return;
    }
    if (options.format == "vtt") {
        std::cout << webVTTChapters(markerRows(description, kvnfcpx::Marker::MarkerKind::chapter),
                                    duration);
        return;
    }
    const auto table =
        markerTable(markerRows(description, kindOf(options.kind)), ReportClock(description));
    if (const auto refusal = writeReport(table, options.format, std::cout)) {
        std::cerr << *refusal << '\n';
        throw CLI::RuntimeError(1);
    }
}

} // namespace

void addMarkersCommand(CLI::App& app) {
    auto options = std::make_shared<MarkersOptions>();
    auto* command = app.add_subcommand(
        "markers", "Lists the markers of an FCPXML document's project in timeline order, for "
                   "review notes, video platforms' chapter lists and WebVTT chapter tracks");
    command->add_option("path", options->path, "The document, or - for standard input")->required();
    command
        ->add_option("--format", options->format,
                     "csv, tsv or json rows; chapters: the chapter lines of a video description; "
                     "vtt: a WebVTT chapters track")
        ->check(CLI::IsMember({"csv", "tsv", "json", "chapters", "vtt"}))
        ->default_str("csv");
    command
        ->add_option("--kind", options->kind,
                     "Which markers the rows list (chapters and vtt always take the chapters)")
        ->check(CLI::IsMember({"all", "comment", "chapter"}))
        ->default_str("all");
    addReadingOptions(*command, options->reading);
    addLogLevelOption(*command, options->logLevel);
    command->callback([options] { markers(*options); });
}

} // namespace velotrack::cli
