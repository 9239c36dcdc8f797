#include "Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <koltutils/DescribedError.h>
#include <koltutils/URL.h>
#include <kvninterchange/KVNURLCommand.h>
#include <memory>
#include <string>

namespace velotrack::cli {

namespace {

void printCommand(const kvninterchange::KVNURLCommand& command) {
    std::cout << "name: " << koltutils::rawValue(command.name) << '\n';
    if (!command.components || !command.components->queryItems) {
        return;
    }
    for (const auto& item : *command.components->queryItems) {
        // An item without "=" has no value, which differs from an empty one.
        std::cout << item.name << (item.value ? "=" + *item.value : "") << '\n';
    }
}

} // namespace

void addUrlCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "url", "Parses an application URL command (korvane://<command>?<parameters>)");
    auto text = std::make_shared<std::string>();
    command->add_option("url", *text, "The URL")->required();
    command->callback([text] {
        const auto url = koltutils::URL::fromString(*text);
        if (!url) {
            std::cerr << "Invalid URL " << *text << '\n';
            throw CLI::RuntimeError(1);
        }
        try {
            printCommand(kvninterchange::KVNURLCommand(*url));
        } catch (const koltutils::DescribedError& error) {
            std::cerr << error.what() << '\n';
            throw CLI::RuntimeError(1);
        }
    });
}

} // namespace velotrack::cli
