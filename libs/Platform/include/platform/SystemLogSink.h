#pragma once

#include "platform/LogSink.h"

#include <mutex>
#include <string>

namespace platform {

// The machine's system log (syslog(3), which the journal collects): the subsystem becomes the
// identity, the level the priority (debug, info, err) and the category a "[Category] " prefix in
// front of the unchanged line text.
class SystemLogSink final : public LogSink {
public:
    SystemLogSink() = default;
    ~SystemLogSink() override;

    void write(const LogRecord& record) override;

private:
    std::mutex mutex_;
    // openlog(3) keeps the pointer it is given, so the identity must outlive every later call.
    std::string identity_;
    bool isOpen_ = false;
};

} // namespace platform
