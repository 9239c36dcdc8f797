#include "koltutils/Log.h"

#include "MainBundleIdentifier.h"
#include "platform/SystemLogSink.h"

#include <atomic>
#include <cstdlib>
#include <execinfo.h>
#include <mutex>

namespace koltutils {
namespace {

std::atomic<BuildConfig> currentBuildConfig{BuildConfig::debug};

// What the unified log calls a log handle: a subsystem and a category, one per level.
struct LogHandle {
    std::string subsystem;
    std::string category;
};

constexpr std::array<std::string_view, 3> categoryNames{"Debug", "Info", "Errors"};

struct LogState {
    std::mutex sinkMutex;
    std::shared_ptr<platform::LogSink> sink;
    std::array<std::once_flag, categoryNames.size()> handleCreated;
    std::array<LogHandle, categoryNames.size()> handles;
};

// Never destroyed, so that code running during static destruction can still log.
LogState& state() {
    static auto* const instance = new LogState;
    return *instance;
}

const LogHandle& handleFor(platform::LogLevel level) {
    auto& shared = state();
    const auto index = static_cast<std::size_t>(level);
    std::call_once(shared.handleCreated[index], [&shared, index] {
        shared.handles[index] = LogHandle{Log::subsystem(), std::string(categoryNames[index])};
    });
    return shared.handles[index];
}

std::string_view lastPathComponent(std::string_view path) {
    const auto separator = path.rfind('/');
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

} // namespace

BuildConfig Log::buildConfig() noexcept {
    return currentBuildConfig.load(std::memory_order_relaxed);
}

void Log::setBuildConfig(BuildConfig config) noexcept {
    currentBuildConfig.store(config, std::memory_order_relaxed);
}

std::shared_ptr<platform::LogSink> Log::sink() {
    auto& shared = state();
    std::lock_guard lock(shared.sinkMutex);
    if (!shared.sink) {
        shared.sink = std::make_shared<platform::SystemLogSink>();
    }
    return shared.sink;
}

void Log::setSink(std::shared_ptr<platform::LogSink> sink) {
    auto& shared = state();
    std::lock_guard lock(shared.sinkMutex);
    shared.sink = std::move(sink);
}

const std::string& Log::subsystem() {
    static const auto* const name =
        new std::string(detail::mainBundleIdentifier().value_or("com.koltwerk"));
    return *name;
}

std::string Log::composeLine(std::string_view file, std::string_view function, int line,
                             std::span<const std::string> values) {
    std::string text;
    text += lastPathComponent(file);
    text += ':';
    text += function;
    text += ':';
    text += std::to_string(line);
    text += ':';
    for (std::size_t index = 0; index < values.size(); ++index) {
        if (index > 0) {
            text += ' ';
        }
        text += values[index];
    }
    return text;
}

void Log::write(platform::LogLevel level, std::string_view file, std::string_view function,
                int line, std::span<const std::string> values) {
    // Logging never fails towards its caller.
    try {
        const auto& handle = handleFor(level);
        std::string text = composeLine(file, function, line, values);
        if (level == platform::LogLevel::error) {
            text.insert(0, "🚩 ");
        }
        sink()->write(
            platform::LogRecord{handle.subsystem, handle.category, level, std::move(text)});
    } catch (...) {
    }
}

void Log::printCallStack() {
    std::array<void*, 128> frames{};
    const int count = backtrace(frames.data(), static_cast<int>(frames.size()));
    const std::unique_ptr<char*, decltype(&std::free)> symbols(
        backtrace_symbols(frames.data(), count), &std::free);
    std::string text = "\n";
    for (int index = 0; symbols && index < count; ++index) {
        text += '\n';
        text += symbols.get()[index];
    }
    error(__FILE__, "printCallStack()", __LINE__, text);
}

} // namespace koltutils
