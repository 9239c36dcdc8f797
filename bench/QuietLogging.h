#pragma once

// Shared by the benchmark programs: the system log stays out of every measurement.

#include <koltutils/Log.h>
#include <memory>
#include <platform/LogSink.h>

namespace velotrack::bench {

class DiscardingSink final : public platform::LogSink {
public:
    void write(const platform::LogRecord&) override {}
};

// Release builds skip debug lines; whatever is still written goes nowhere.
inline void quietLogging() {
    koltutils::Log::setBuildConfig(koltutils::BuildConfig::release);
    koltutils::Log::setSink(std::make_shared<DiscardingSink>());
}

} // namespace velotrack::bench
