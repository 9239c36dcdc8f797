#include "Commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <koltutils/DescribedError.h>
#include <koltutils/ProcessHandler.h>
#include <memory>
#include <platform/Process.h>
#include <string>
#include <vector>

namespace velotrack::cli {

void addExecCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "exec", "Runs a tool and prints its output, a line break, its error output and a line "
                "break; the tool's exit status is not examined");
    auto words = std::make_shared<std::vector<std::string>>();
    command
        ->add_option("tool", *words,
                     "The tool (a path, or a name looked up on PATH) and its arguments, after --")
        ->required();
    command->callback([words] {
        const auto& tool = words->front();
        const auto executable = platform::findExecutable(tool);
        if (!executable) {
            std::cerr << "velotrack: cannot run " << tool << ": "
                      << (tool.find('/') == std::string::npos ? "not found on PATH"
                                                              : "not an executable file")
                      << '\n';
            throw CLI::RuntimeError(1);
        }
        koltutils::ProcessHandler handler(
            *executable, std::vector<std::string>(words->begin() + 1, words->end()));
        try {
            std::cout << handler.run() << std::flush;
        } catch (const koltutils::DescribedError& error) {
            std::cerr << "velotrack: cannot run " << tool << ": " << error.what() << '\n';
            throw CLI::RuntimeError(1);
        }
    });
}

} // namespace velotrack::cli
