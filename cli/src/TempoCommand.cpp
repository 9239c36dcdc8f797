#include "Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <koltutils/Describe.h>
#include <kvntime/TimelineTempo.h>
#include <memory>
#include <optional>

// `tempo` applies tempo changes to a default timeline tempo and shows the result.

namespace velotrack::cli {
namespace {

struct TempoOptions {
    bool lockNatural = false;
    std::optional<double> internal;
    std::optional<double> virtualTempo;
    std::optional<double> master;
    bool useMaster = false;
};

} // namespace

void addTempoCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "tempo", "Apply tempo changes to a timeline's tempo and show its description and grid");
    auto options = std::make_shared<TempoOptions>();
    command->add_flag("--lock-natural", options->lockNatural, "Lock the grid to the natural tempo");
    command->add_option("--internal", options->internal, "The material's own tempo (bpm)");
    command->add_option("--virtual", options->virtualTempo, "The tempo it is played at (bpm)");
    command->add_option("--master", options->master, "The timeline's master tempo (bpm)");
    command->add_flag("--use-master", options->useMaster, "Follow the master tempo");
    command->callback([options] {
        kvntime::TimelineTempo tempo;
        // In this order: the lock decides which tempo the grid follows when the tempos arrive.
        tempo.setLockNaturalTempo(options->lockNatural);
        if (options->internal) {
            tempo.updateInternalTempo(options->internal);
        }
        if (options->virtualTempo) {
            tempo.updateVirtualTempo(options->virtualTempo);
        }
        if (options->master || options->useMaster) {
            tempo.updateMasterTempo(options->master.value_or(tempo.masterTempo()),
                                    options->useMaster);
        }
        std::cout << tempo.description() << '\n'
                  << "gridTempo: " << koltutils::describe(tempo.gridTempo()) << '\n';
    });
}

} // namespace velotrack::cli
