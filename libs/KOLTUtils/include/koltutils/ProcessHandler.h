#pragma once

// Runs a command-line tool to completion and hands back everything it printed.
//
//   koltutils::ProcessHandler handler{"/usr/bin/pluginkit", {"-m", "-v"}};
//   std::string text = handler.run();   // blocks; run it from a background queue
//
// The result is the tool's standard output and a line break, then its standard error and a line
// break; a stream whose bytes are not UTF-8 is left out, line break included. The exit status is
// not examined: a tool that fails but prints is reported only through its text. Both pipes are read
// at the same time, so a tool writing megabytes to either one never stalls.

#include "koltutils/EnumTable.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Process;
}

namespace koltutils {

enum class DispatchQoS {
    background,
    utility,
    defaultClass,
    userInitiated,
    userInteractive,
    unspecified
};

template <> struct EnumTable<DispatchQoS> {
    struct Row {
        DispatchQoS value;
        std::string_view rawValue;
        int taskQualityOfService; // the platform's numeric value; -1 is its default
        int niceness;             // how the class is honoured here: the tool's scheduling niceness
    };
    static constexpr std::array cases{
        Row{DispatchQoS::background, "background", 9, 10},
        Row{DispatchQoS::utility, "utility", 17, 5},
        Row{DispatchQoS::defaultClass, "default", -1, 0},
        Row{DispatchQoS::userInitiated, "userInitiated", 25, 0},
        Row{DispatchQoS::userInteractive, "userInteractive", 33, 0},
        Row{DispatchQoS::unspecified, "unspecified", -1, 0},
    };
};
static_assert(isInDeclarationOrder<DispatchQoS>());

// The task quality of service a dispatch class maps to.
constexpr int taskQualityOfService(DispatchQoS qos) {
    return caseOf(qos).taskQualityOfService;
}

class ProcessHandler {
public:
    // Prepares the tool; nothing runs yet.
    ProcessHandler(std::filesystem::path url, std::vector<std::string> args,
                   DispatchQoS qos = DispatchQoS::defaultClass);
    ~ProcessHandler();
    ProcessHandler(const ProcessHandler&) = delete;
    ProcessHandler& operator=(const ProcessHandler&) = delete;

    // Blocks until the tool exits. A tool that cannot be launched throws koltutils::DescribedError
    // with the platform's reason. A handler runs its tool at most once; a second call throws.
    std::string run();

    // Asks a running tool to terminate; safe from another thread while run() blocks. When the tool
    // is not running, logs "Process isn't running" at error level.
    void cancel();

    DispatchQoS qos() const noexcept { return qos_; }
    // The platform's quality of service for qos().
    int taskQualityOfService() const noexcept;
    // True while run() waits for the tool.
    bool isRunning() const;

private:
    std::shared_ptr<platform::Process> process_;
    DispatchQoS qos_;
};

} // namespace koltutils
