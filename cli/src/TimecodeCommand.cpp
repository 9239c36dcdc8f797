#include "Commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <iostream>
#include <koltutils/EnumTable.h>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <timecode/CMTimeString.h>
#include <timecode/Fraction.h>
#include <timecode/Timecode.h>
#include <vector>

namespace velotrack::cli {

namespace {

using timecode::Timecode;
using timecode::TimecodeFrameRate;

struct TimecodeOptions {
    std::string rate;
    std::string seconds;
    std::string frames;
    std::string string;
    std::string rational;
    std::string subFramesBase = "100";
    std::string limit = "24h";
    bool showSubFrames = false;
    bool filenameCompatible = false;
    bool alwaysShowDays = false;
    bool listRates = false;
};

// The inputs a timecode can be made from; exactly one of them is given.
enum class Source { seconds, frames, string, rational };

struct SourceOption {
    Source source;
    std::string TimecodeOptions::*text;
    CLI::Option* option = nullptr;
};

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "timecode: " << message << '\n';
    throw CLI::RuntimeError(1);
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

template <class Number> std::optional<Number> wholeTextAs(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string shortestDecimal(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.begin(), text.end(), value).ptr;
    return {text.begin(), end};
}

TimecodeFrameRate frameRateOrFail(const std::string& text) {
    const auto rate = timecode::timecodeFrameRateFromStringValue(text);
    if (!rate) {
        fail("unknown frame rate " + inQuotes(text) + " (see --list-rates)");
    }
    return *rate;
}

timecode::TimecodeProperties propertiesOrFail(const TimecodeOptions& options) {
    const auto count = wholeTextAs<std::int64_t>(options.subFramesBase);
    const auto base = count ? timecode::subFramesBaseFromCount(*count) : std::nullopt;
    if (!base) {
        fail("unknown sub-frames base " + inQuotes(options.subFramesBase) + " (80, 100 or 4)");
    }
    if (options.limit != "24h" && options.limit != "100d") {
        fail("unknown limit " + inQuotes(options.limit) + " (24h or 100d)");
    }
    const auto limit = options.limit == "24h" ? timecode::TimecodeUpperLimit::max24Hours
                                              : timecode::TimecodeUpperLimit::max100Days;
    return {frameRateOrFail(options.rate), *base, limit};
}

// Invalid components are kept so that they can be shown; only input that has no position at
// all fails.
Timecode timecodeOrFail(Source source, const std::string& text,
                        const timecode::TimecodeProperties& properties) {
    constexpr auto keep = timecode::TimecodeValidationRule::allowingInvalid;
    switch (source) {
    case Source::seconds:
        if (const auto seconds = wholeTextAs<double>(text)) {
            return Timecode::fromRealTime(*seconds, properties, keep);
        }
        fail(inQuotes(text) + " is not a number of seconds");
    case Source::frames:
        if (const auto frames = wholeTextAs<std::int64_t>(text)) {
            return Timecode::fromFrames(*frames, properties, keep);
        }
        fail(inQuotes(text) + " is not a whole number of frames");
    case Source::string:
        try {
            return Timecode::fromString(text, properties, keep);
        } catch (const timecode::TimecodeStringParseError&) {
            fail(inQuotes(text) + " is not a timecode");
        }
    case Source::rational:
        break;
    }
    if (const auto time = timecode::Fraction::fromFcpxmlString(text)) {
        return Timecode::fromRational(*time, properties, keep);
    }
    fail(inQuotes(text) + " is not an FCPXML time");
}

timecode::TimecodeStringFormat formatOf(const TimecodeOptions& options) {
    using Option = timecode::TimecodeStringFormatOption;
    timecode::TimecodeStringFormat format;
    if (options.alwaysShowDays) {
        format.insert(Option::alwaysShowDays);
    }
    if (options.showSubFrames) {
        format.insert(Option::showSubFrames);
    }
    if (options.filenameCompatible) {
        format.insert(Option::filenameCompatible);
    }
    return format;
}

std::string invalidComponentList(const Timecode& value) {
    std::string list;
    for (const auto component : value.invalidComponents()) {
        list += (list.empty() ? "" : ",") + std::string(koltutils::rawValue(component));
    }
    return list;
}

// All values are computed before anything is printed, so a failure prints only its error line.
std::string report(const Timecode& value, const TimecodeOptions& options) {
    const auto frameCount = value.frameCount();
    const auto fcpxml = timecode::CMTimeString::create(value, false);
    std::string text = "timecode: " + value.stringValue(formatOf(options)) + "\n" +
                       "frames: " + std::to_string(frameCount.wholeFrames()) + "\n" +
                       "subFrames: " + std::to_string(frameCount.subFrames()) + "\n" +
                       "seconds: " + shortestDecimal(value.realTimeValue()) + "\n" +
                       "rational: " + value.rationalValue().fcpxmlStringValue() + "\n" +
                       "fcpxml: " + fcpxml.value_or("nil") + "\n" +
                       "valid: " + (value.isValid() ? "true" : "false") + "\n";
    if (!value.isValid()) {
        text += "invalidComponents: " + invalidComponentList(value) + "\n";
    }
    return text;
}

void printRateTable() {
    std::vector<std::vector<std::string>> rows = {
        {"rate", "name", "fps", "frame duration", "drop", "labels/s", "frames in 24 h"}};
    for (const auto rate : koltutils::allCases<TimecodeFrameRate>()) {
        rows.push_back(
            {std::string(timecode::stringValue(rate)),
             std::string(timecode::stringValueVerbose(rate)), timecode::rate(rate).description(),
             timecode::frameDuration(rate).description(), timecode::isDrop(rate) ? "yes" : "no",
             std::to_string(timecode::maxFrames(rate)),
             std::to_string(
                 timecode::maxTotalFrames(rate, timecode::TimecodeUpperLimit::max24Hours))});
    }
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size()) {
                line += std::string(widths[column] - row[column].size() + 2, ' ');
            }
        }
        std::cout << line << '\n';
    }
}

void run(const TimecodeOptions& options, const std::vector<SourceOption>& sources) {
    if (options.listRates) {
        printRateTable();
        return;
    }
    const auto given =
        std::count_if(sources.begin(), sources.end(),
                      [](const SourceOption& source) { return source.option->count() > 0; });
    if (given != 1) {
        fail("give exactly one of --seconds, --frames, --string, --rational");
    }
    if (options.rate.empty()) {
        fail("--rate is required");
    }
    const auto properties = propertiesOrFail(options);
    const auto& source =
        *std::find_if(sources.begin(), sources.end(),
                      [](const SourceOption& each) { return each.option->count() > 0; });
    const std::string& text = options.*source.text;
    try {
        std::cout << report(timecodeOrFail(source.source, text, properties), options);
    } catch (const timecode::TimecodeValidationError&) {
        fail(inQuotes(text) + " has no timecode at " +
             std::string(timecode::stringValueVerbose(properties.frameRate)));
    }
}

} // namespace

void addTimecodeCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "timecode", "Converts between timecode, frames, seconds and FCPXML times at a frame rate");
    auto options = std::make_shared<TimecodeOptions>();
    auto sources = std::make_shared<std::vector<SourceOption>>();

    command->add_option("--rate", options->rate, "Frame rate by its string value, e.g. 29.97d");
    const auto addSource = [&](Source source, const char* name, std::string TimecodeOptions::*text,
                               const char* help) {
        sources->push_back({source, text, command->add_option(name, (*options).*text, help)});
    };
    addSource(Source::seconds, "--seconds", &TimecodeOptions::seconds, "Real time in seconds");
    addSource(Source::frames, "--frames", &TimecodeOptions::frames, "Whole frames from zero");
    addSource(Source::string, "--string", &TimecodeOptions::string,
              "Timecode text, e.g. 01:00:00;00");
    addSource(Source::rational, "--rational", &TimecodeOptions::rational,
              "FCPXML time, e.g. 1001/30000s");
    command
        ->add_option("--subframes-base", options->subFramesBase,
                     "Sub-frames per frame: 80, 100 or 4")
        ->capture_default_str();
    command->add_option("--limit", options->limit, "Span: 24h or 100d")->capture_default_str();
    command->add_flag("--show-subframes", options->showSubFrames, "Print sub-frames");
    command->add_flag("--filename-compatible", options->filenameCompatible,
                      "Print - instead of : ; and blanks");
    command->add_flag("--always-show-days", options->alwaysShowDays, "Print days also when 0");
    command->add_flag("--list-rates", options->listRates, "List the frame rates and exit");
    command->callback([options, sources] { run(*options, *sources); });
}

} // namespace velotrack::cli
