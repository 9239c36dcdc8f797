#include "platform/SystemLogSink.h"

#include <syslog.h>

namespace platform {
namespace {

int priority(LogLevel level) noexcept {
    switch (level) {
    case LogLevel::debug:
        return LOG_DEBUG;
    case LogLevel::info:
        return LOG_INFO;
    case LogLevel::error:
        return LOG_ERR;
    }
    return LOG_INFO;
}

} // namespace

SystemLogSink::~SystemLogSink() {
    std::lock_guard lock(mutex_);
    if (isOpen_) {
        closelog();
    }
}

void SystemLogSink::write(const LogRecord& record) {
    const std::string message = "[" + record.category + "] " + record.text;
    std::lock_guard lock(mutex_);
    if (!isOpen_ || identity_ != record.subsystem) {
        identity_ = record.subsystem;
        openlog(identity_.c_str(), LOG_PID | LOG_NDELAY, LOG_USER);
        isOpen_ = true;
    }
    syslog(priority(record.level), "%s", message.c_str());
}

} // namespace platform
