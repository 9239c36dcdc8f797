#include "Companion.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <unistd.h>
#include <vector>

namespace velotrack::cli {

namespace {

constexpr int unreadableInput = 1;

std::filesystem::path companionPath(const std::string& name) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string program = "velotrack-" + name;
    return error ? std::filesystem::path(program) : self.parent_path() / program;
}

[[noreturn]] void runCompanionOf(const CLI::App& command) {
    const std::string name = command.get_name();
    // The companion names itself after the tool's argv[0], so its usage lines read as the
    // tool's own.
    std::vector<std::string> arguments{command.get_parent()->get_name(), name};
    for (auto& argument : command.remaining()) {
        arguments.push_back(std::move(argument));
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const auto program = companionPath(name);
    std::cout.flush();
    std::fflush(nullptr);
    ::execv(program.c_str(), argv.data());
    std::cerr << "velotrack " << name << ": cannot run " << program.string() << " ("
              << std::strerror(errno) << ")\n";
    throw CLI::RuntimeError(unreadableInput);
}

} // namespace

void addCompanionCommand(CLI::App& app, std::string name, std::string_view summary) {
    auto* command = app.add_subcommand(std::move(name), std::string(summary));
    // Nothing is parsed here: the companion reads every argument, --help included.
    command->set_help_flag();
    command->prefix_command();
    command->callback([command] { runCompanionOf(*command); });
}

int runCompanion(int argc, char** argv, void (*addCommand)(CLI::App&)) {
    CLI::App app{std::string(toolDescription)};
    app.set_version_flag("--version", "velotrack " VELOTRACK_VERSION);
    app.require_subcommand(1);
    addCommand(app);
    CLI11_PARSE(app, argc, argv);
    return 0;
}

} // namespace velotrack::cli
