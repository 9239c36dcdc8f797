#include "Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <koltutils/Describe.h>
#include <koltutils/EnumTable.h>
#include <kvntime/RealTimeDomain.h>
#include <memory>
#include <optional>
#include <string>

// `realtime` shows seconds as minutes and seconds ("1:02:05.500"), or reads such a text back.

namespace velotrack::cli {
namespace {

struct RealtimeOptions {
    std::optional<double> seconds;
    std::optional<std::string> parse;
    std::string hours = "auto";
    bool milliseconds = false;
};

} // namespace

void addRealtimeCommand(CLI::App& app) {
    using HoursFormat = kvntime::RealTimeDomain::HoursFormat;
    auto* command = app.add_subcommand(
        "realtime", "Show seconds as [h:]mm:ss[.mmm], or read such a text back into seconds");
    auto options = std::make_shared<RealtimeOptions>();
    auto* seconds = command->add_option("--seconds", options->seconds, "The seconds to show");
    auto* parse = command->add_option("--parse", options->parse, "A typed time to read");
    seconds->excludes(parse);
    command->add_option("--hours", options->hours, "Show hours: enable, disable or auto")
        ->check(CLI::IsMember({"enable", "disable", "auto"}));
    command->add_flag("--milliseconds", options->milliseconds, "Show milliseconds");
    command->callback([options] {
        if (options->parse) {
            std::cout << koltutils::describe(kvntime::RealTimeDomain::parse(*options->parse))
                      << '\n';
            return;
        }
        if (!options->seconds) {
            throw CLI::ValidationError("realtime", "give --seconds or --parse");
        }
        const auto hours = koltutils::fromRawValue<HoursFormat>(options->hours);
        std::cout << kvntime::RealTimeDomain::string(*options->seconds,
                                                     hours.value_or(HoursFormat::automatic),
                                                     options->milliseconds)
                  << '\n';
    });
}

} // namespace velotrack::cli
