#include "Commands.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <iostream>
#include <koltutils/Describe.h>
#include <koltutils/DescribedError.h>
#include <koltutils/EnumTable.h>
#include <kvntime/MusicalMeasure.h>
#include <kvntime/RulerSnapType.h>
#include <kvntime/VisualMusicalTime.h>
#include <memory>
#include <optional>
#include <string>

// `musical` shows a position in bars, beats and subdivisions (`--seconds`) or the pixel widths of
// the musical grid at a zoom level (`--pixels-per-second`), at a tempo and time signature.

namespace velotrack::cli {
namespace {

struct MusicalOptions {
    double tempo = 120;
    std::string signature = "4/4";
    std::optional<double> seconds;
    std::optional<double> pixelsPerSecond;
};

// "7/8"; text that is not two integers around "/" fails as an invalid signature does.
kvntime::TimeSignature parseSignature(const std::string& text) {
    const auto slash = text.find('/');
    int numerator = 0;
    int denominator = 0;
    const char* end = text.data() + text.size();
    const bool read =
        slash != std::string::npos &&
        std::from_chars(text.data(), text.data() + slash, numerator).ptr == text.data() + slash &&
        std::from_chars(text.data() + slash + 1, end, denominator).ptr == end;
    if (!read) {
        throw koltutils::DescribedError("invalid arguments: " + text);
    }
    return kvntime::TimeSignature(numerator, denominator);
}

void printPosition(const MusicalOptions& options, const kvntime::TimeSignature& signature) {
    using koltutils::describe;
    kvntime::MusicalMeasure measure;
    // The signature first: barsPerSecond is recomputed when the tempo is set.
    measure.setTimeSignature(signature);
    measure.setTempo(options.tempo);
    measure.updateFrom(*options.seconds);
    std::cout << "position: " << measure.stringValue() << '\n'
              << "fractionalBar: " << describe(measure.fractionalBar()) << '\n'
              << "fractionalBeat: " << describe(measure.fractionalBeat()) << '\n'
              << "barsPerSecond: " << describe(measure.barsPerSecond()) << '\n';
}

void printGrid(const MusicalOptions& options, const kvntime::TimeSignature& signature) {
    using koltutils::describe;
    const kvntime::VisualMusicalTime grid(*options.pixelsPerSecond, options.tempo, signature);
    const kvntime::VisualMusicalMeasure measure =
        grid.visualMeasure().value_or(kvntime::VisualMusicalMeasure{});
    std::cout << "pixelsPerSubdivision: " << describe(measure.pixelsPerSubdivision) << '\n'
              << "pixelsPerBeat: " << describe(measure.pixelsPerBeat) << '\n'
              << "pixelsPerBar: " << describe(measure.pixelsPerBar) << '\n';
    for (const auto snapType : koltutils::allCases<kvntime::RulerSnapType>()) {
        const double pixels = grid.visualMeasure() ? measure.snapDivision(snapType) : 1.0;
        std::cout << "snap " << koltutils::rawValue(snapType) << ": " << describe(pixels) << '\n';
    }
}

} // namespace

void addMusicalCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "musical", "Show a time in bars, beats and subdivisions, or the musical grid's widths");
    auto options = std::make_shared<MusicalOptions>();
    command->add_option("--tempo", options->tempo, "Beats per minute (default 120)");
    command->add_option("--signature", options->signature, "Time signature n/d (default 4/4)");
    auto* seconds =
        command->add_option("--seconds", options->seconds, "The time to show, in seconds");
    auto* pixels = command->add_option("--pixels-per-second", options->pixelsPerSecond,
                                       "The zoom level whose grid to show");
    seconds->excludes(pixels);
    command->callback([options] {
        if (!options->seconds && !options->pixelsPerSecond) {
            throw CLI::ValidationError("musical", "give --seconds or --pixels-per-second");
        }
        std::optional<kvntime::TimeSignature> signature;
        try {
            signature = parseSignature(options->signature);
        } catch (const koltutils::DescribedError& error) {
            std::cerr << error.what() << '\n';
            throw CLI::RuntimeError(1);
        }
        if (options->seconds) {
            printPosition(*options, *signature);
        } else {
            printGrid(*options, *signature);
        }
    });
}

} // namespace velotrack::cli
