#include "Commands.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>
#include <koltutils/Describe.h>
#include <kvntime/TransportTimer.h>
#include <memory>
#include <mutex>
#include <platform/RunLoop.h>

// `transport` plays the transport clock for a while and prints what it reports: a demonstration
// that the clock advances in real time, tick by tick.

namespace velotrack::cli {
namespace {

struct TransportOptions {
    double start = 0;
    double duration = 1;
};

void runTransport(const TransportOptions& options) {
    using Event = kvntime::TransportTimer::Event;
    auto began = std::chrono::steady_clock::now();
    // Ticks report on a global queue, state changes on this thread: one lock keeps lines whole
    // and drops a tick that was already on its way when the clock stopped.
    std::mutex outputMutex;
    bool stopped = false;
    kvntime::TransportTimer transport([&](const Event& event) {
        const std::lock_guard lock(outputMutex);
        if (event.kind == Event::Kind::time) {
            if (!stopped) {
                const std::chrono::duration<double> since =
                    std::chrono::steady_clock::now() - began;
                std::cout << koltutils::describe(since.count()) << '\t'
                          << koltutils::describe(event.time) << '\n';
            }
            return;
        }
        std::cout << "state: " << kvntime::TransportTimer::name(event.playState) << '\n';
        stopped = event.playState != kvntime::TransportTimer::PlayState::start;
    });
    began = std::chrono::steady_clock::now();
    transport.start(options.start);
    platform::RunLoop::runFor(std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double>(options.duration)));
    transport.stop();
    const std::lock_guard lock(outputMutex);
    std::cout.flush();
}

} // namespace

void addTransportCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "transport", "Play the transport clock and print each position it reports");
    auto options = std::make_shared<TransportOptions>();
    command->add_option("--start", options->start, "The position to start from, in seconds")
        ->required();
    command->add_option("--for", options->duration, "How long to play, in seconds (up to 3600)")
        ->required()
        ->check(CLI::Range(0.0, 3600.0));
    command->callback([options] { runTransport(*options); });
}

} // namespace velotrack::cli
