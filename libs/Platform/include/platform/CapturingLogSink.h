#pragma once

#include "platform/LogSink.h"

#include <mutex>
#include <string>
#include <vector>

namespace platform {

// Keeps every record in memory, in the order written, so tests can assert on exact lines.
// Safe to write to from several threads at once.
class CapturingLogSink final : public LogSink {
public:
    void write(const LogRecord& record) override;

    std::vector<LogRecord> records() const;
    // The texts of the records, in order.
    std::vector<std::string> lines() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<LogRecord> records_;
};

} // namespace platform
