#include "platform/StderrLogSink.h"

#include <cstdio>

namespace platform {

std::string StderrLogSink::format(const LogRecord& record) {
    return record.category + " " + record.text + "\n";
}

void StderrLogSink::write(const LogRecord& record) {
    if (record.level < minimumLevel_) {
        return;
    }
    const std::string line = format(record);
    // One write per line so that lines from different threads never interleave.
    std::lock_guard lock(mutex_);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace platform
