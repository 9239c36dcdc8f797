#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The three levels of the unified log that the system writes at.
enum class LogLevel : std::uint8_t { debug, info, error };

// One finished log line together with where it belongs: the subsystem (normally the main
// bundle's identifier) and the category ("Debug", "Info", "Errors").
struct LogRecord {
    std::string subsystem;
    std::string category;
    LogLevel level = LogLevel::info;
    std::string text;

    bool operator==(const LogRecord&) const = default;
};

// Where log lines end up. Implementations must accept calls from any thread.
class LogSink {
public:
    LogSink() = default;
    LogSink(const LogSink&) = delete;
    LogSink& operator=(const LogSink&) = delete;
    virtual ~LogSink() = default;

    virtual void write(const LogRecord& record) = 0;
};

} // namespace platform
