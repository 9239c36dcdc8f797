#pragma once

#include "koltutils/BuildConfig.h"
#include "platform/CapturingLogSink.h"
#include "platform/LogSink.h"

#include <memory>
#include <string>
#include <vector>

namespace koltutils {

// For tests: while alive, every log record goes to an in-memory sink instead of the previous one.
// The previous sink and build configuration are restored on destruction, so a test may also
// change Log::setBuildConfig freely.
class ScopedLogCapture {
public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    std::vector<platform::LogRecord> records() const { return sink_->records(); }
    // The texts of the captured records, in order.
    std::vector<std::string> lines() const { return sink_->lines(); }
    void clear() { sink_->clear(); }

private:
    std::shared_ptr<platform::CapturingLogSink> sink_;
    std::shared_ptr<platform::LogSink> previousSink_;
    BuildConfig previousBuildConfig_;
};

} // namespace koltutils
