#include "platform/CapturingLogSink.h"

namespace platform {

void CapturingLogSink::write(const LogRecord& record) {
    std::lock_guard lock(mutex_);
    records_.push_back(record);
}

std::vector<LogRecord> CapturingLogSink::records() const {
    std::lock_guard lock(mutex_);
    return records_;
}

std::vector<std::string> CapturingLogSink::lines() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    texts.reserve(records_.size());
    for (const auto& record : records_) {
        texts.push_back(record.text);
    }
    return texts;
}

void CapturingLogSink::clear() {
    std::lock_guard lock(mutex_);
    records_.clear();
}

} // namespace platform
