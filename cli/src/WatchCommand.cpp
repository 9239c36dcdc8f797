#include "Commands.h"
#include "PathLines.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <koltutils/DescribedError.h>
#include <koltutils/DirectoryEnumerationObserver.h>
#include <koltutils/DirectoryObserver.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <platform/DispatchQueue.h>
#include <platform/RunLoop.h>
#include <string>

namespace velotrack::cli {

namespace {

using namespace std::chrono_literals;

volatile std::sig_atomic_t interrupted = 0;

void noteInterruption(int /*signal*/) {
    interrupted = 1;
}

struct WatchOptions {
    std::string folder;
    bool recursive = false;
    std::optional<double> seconds;
    bool json = false;
};

// Events arrive on the observers' threads; they are printed on the main run loop, in order.
void printEvent(const koltutils::DirectoryEvent& event, bool json) {
    auto files = event.files();
    std::sort(files.begin(), files.end());
    if (json) {
        nlohmann::ordered_json line;
        line["event"] = event.isNew() ? "new" : "removed";
        line["source"] = event.source().string();
        line["files"] = nlohmann::ordered_json::array();
        for (const auto& file : files) {
            line["files"].push_back(file.string());
        }
        std::cout << line.dump() << '\n';
    } else {
        for (const auto& file : files) {
            std::cout << (event.isNew() ? "new\t" : "removed\t") << file.string() << '\n';
        }
    }
    std::cout.flush();
}

void post(const koltutils::DirectoryEvent& event, bool json) {
    platform::DispatchQueue::main()->async([event, json] { printEvent(event, json); });
}

class PrintingDelegate final : public koltutils::DirectoryEnumerationObserverDelegate {
public:
    explicit PrintingDelegate(bool json) : json_(json) {}
    void
    directoryEnumerationObserver(koltutils::DirectoryEnumerationObserver& /*observer*/,
                                 const std::vector<koltutils::DirectoryEvent>& events) override {
        for (const auto& event : events) {
            post(event, json_);
        }
    }

private:
    bool json_;
};

// Runs the main loop until the time is up or the user interrupts (Ctrl-C or SIGTERM).
void runUntilInterrupted(std::optional<double> seconds) {
    struct sigaction action {};
    action.sa_handler = noteInterruption;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    const auto isInterrupted = [] { return interrupted != 0; };
    if (seconds) {
        platform::RunLoop::runUntil(isInterrupted,
                                    std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::duration<double>(std::max(*seconds, 0.0))));
        return;
    }
    while (!isInterrupted()) {
        platform::RunLoop::runUntil(isInterrupted, 1h);
    }
}

void runWatch(const WatchOptions& options) {
    const auto folder = absolutePath(options.folder);
    try {
        if (options.recursive) {
            auto delegate = std::make_shared<PrintingDelegate>(options.json);
            auto observer = koltutils::DirectoryEnumerationObserver::make(folder);
            observer->setDelegate(delegate);
            observer->start();
            runUntilInterrupted(options.seconds);
            observer->stop();
        } else {
            auto observer = koltutils::DirectoryObserver::make(folder);
            observer->setEventHandler(
                [json = options.json](const koltutils::DirectoryEvent& event) {
                    post(event, json);
                });
            observer->start();
            runUntilInterrupted(options.seconds);
            observer->stop();
        }
    } catch (const koltutils::DescribedError& error) {
        std::cerr << error.what() << '\n';
        throw CLI::RuntimeError(1);
    }
    // Print what was reported before the end.
    platform::RunLoop::drain();
}

} // namespace

void addWatchCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "watch", "Reports files that appear in or disappear from a folder once it has settled: "
                 "new<TAB>path or removed<TAB>path; runs until Ctrl-C (exit 0) or --for; exit 1 "
                 "when the folder is missing or not a folder");
    auto options = std::make_shared<WatchOptions>();
    command->add_option("folder", options->folder, "The folder to watch")->required();
    command->add_flag("--recursive", options->recursive,
                      "Watch every folder below it too, reporting bursts together");
    command->add_option("--for", options->seconds, "Stop after this many seconds");
    command->add_flag("--json", options->json,
                      "One JSON object per event: {\"event\",\"source\",\"files\"}");
    command->callback([options] { runWatch(*options); });
}

} // namespace velotrack::cli
