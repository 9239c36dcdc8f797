#pragma once

#include "platform/LogSink.h"

#include <mutex>
#include <string>

namespace platform {

// Writes readable lines, "<category> <text>", to the standard error stream. Lines below the
// minimum level are dropped. Useful for command-line tools and for watching a run by eye.
class StderrLogSink final : public LogSink {
public:
    explicit StderrLogSink(LogLevel minimumLevel = LogLevel::debug) noexcept
        : minimumLevel_(minimumLevel) {}

    void write(const LogRecord& record) override;

    static std::string format(const LogRecord& record);

private:
    std::mutex mutex_;
    LogLevel minimumLevel_;
};

} // namespace platform
