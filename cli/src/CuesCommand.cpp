#include "Commands.h"
#include "CueSheet.h"
#include "DocumentLoading.h"
#include "ReportTable.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace velotrack::cli {

namespace {

struct CuesOptions {
    std::string path;
    std::vector<std::string> roles;
    std::string format = "csv";
    bool merge = false;
    kvnfcpx::ParserOptions reading{};
    std::string logLevel = "error";
};

void cues(const CuesOptions& options) {
    installLogSink(options.logLevel);
    const auto description = loadDescription(options.path, options.reading);
    const auto roles = options.roles.empty() ? std::vector<std::string>{"music"} : options.roles;
    auto rows = cueRows(description, roles);
    if (options.merge) {
        rows = mergedAcrossCuts(rows);
    }
    const auto& sequence = description.project ? description.project->sequence : std::nullopt;
    const auto table = cueTable(rows, ReportClock(description),
                                sequence ? sequence->tcStart : timecode::CMTime::zero);
    if (const auto refusal = writeReport(table, options.format, std::cout)) {
        std::cerr << *refusal << '\n';
        throw CLI::RuntimeError(1);
    }
}

} // namespace

void addCuesCommand(CLI::App& app) {
    auto options = std::make_shared<CuesOptions>();
    auto* command = app.add_subcommand(
        "cues", "Prints a cue sheet of an FCPXML document's project: one row per clip of the "
                "given roles (music by default), in timeline order");
    command->add_option("path", options->path, "The document, or - for standard input")->required();
    command->add_option("--role", options->roles,
                        "A role (\"music.score\") or main role (\"music\") to list; repeatable");
    command->add_option("--format", options->format, "csv, tsv or json")
        ->check(CLI::IsMember({"csv", "tsv", "json"}))
        ->default_str("csv");
    command->add_flag("--merge", options->merge,
                      "Join the pieces of a clip split by a blade cut into one row");
    addReadingOptions(*command, options->reading);
    addLogLevelOption(*command, options->logLevel);
    command->callback([options] { cues(*options); });
}

} // namespace velotrack::cli
