#pragma once

// The logging facility every module writes its diagnostics through.
//
//   KOLT_LOG_DEBUG(__func__, "loaded", count);           // "Loader.cpp:load:12:loaded 3"
//   KOLT_LOG_DEFAULT("initUpdater()", "started");         // informational level
//   KOLT_LOG_ERROR("parseRefClip(element:tcStart:itemTime:parentTiming:groupId:)", "bad ref",
//                  std::optional<std::string>{});          // "🚩 File.cpp:parseRefClip(...):40:bad
//                  ref nil"
//
// A line is "<file name>:<function>:<line>:<values joined by single spaces>"; error lines start
// with "🚩 ". Values are turned into text by koltutils::describe (see koltutils/Describe.h): an
// empty std::optional prints "nil". Debug lines are skipped entirely while Log::buildConfig() is
// BuildConfig::release.
//
// Records go to a pluggable platform::LogSink with the subsystem (the main bundle's identifier or
// "com.koltwerk") and the category "Debug", "Info" or "Errors". The default sink is the system
// log. Tests capture lines with koltutils::ScopedLogCapture (koltutils/ScopedLogCapture.h):
//
//   koltutils::ScopedLogCapture capture;        // installs a platform::CapturingLogSink
//   doSomething();
//   EXPECT_THAT(capture.lines(), ElementsAre("Thing.cpp:doSomething():7:done"));
//   // the previous sink and build configuration come back when `capture` goes out of scope
//
// Error policy of KOLTUtils: logging never fails towards its caller (a throwing sink is
// ignored); look-ups answer std::nullopt; operations that fail with a message throw
// koltutils::DescribedError.

#include "koltutils/BuildConfig.h"
#include "koltutils/Describe.h"
#include "platform/LogSink.h"

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace koltutils {

class Log {
public:
    Log() = delete;

    // Initially BuildConfig::debug. Set it, if at all, before other threads log.
    static BuildConfig buildConfig() noexcept;
    static void setBuildConfig(BuildConfig config) noexcept;

    // The sink that receives every record; nullptr restores the default system log sink.
    static std::shared_ptr<platform::LogSink> sink();
    static void setSink(std::shared_ptr<platform::LogSink> sink);

    // The main bundle's identifier, or "com.koltwerk" when there is none.
    static const std::string& subsystem();

    template <class... Values>
    static void debug(std::string_view file, std::string_view function, int line,
                      const Values&... values) {
        if (buildConfig() == BuildConfig::release) {
            return;
        }
        write(platform::LogLevel::debug, file, function, line, describeAll(values...));
    }

    template <class... Values>
    static void defaultLevel(std::string_view file, std::string_view function, int line,
                             const Values&... values) {
        write(platform::LogLevel::info, file, function, line, describeAll(values...));
    }

    template <class... Values>
    static void error(std::string_view file, std::string_view function, int line,
                      const Values&... values) {
        write(platform::LogLevel::error, file, function, line, describeAll(values...));
    }

    // Writes the current thread's call stack at the error level, one frame per line.
    static void printCallStack();

    // "<file name>:<function>:<line>:<values joined by spaces>", without any level prefix.
    static std::string composeLine(std::string_view file, std::string_view function, int line,
                                   std::span<const std::string> values);

private:
    template <class... Values>
    static std::array<std::string, sizeof...(Values)> describeAll(const Values&... values) {
        return {describe(values)...};
    }

    static void write(platform::LogLevel level, std::string_view file, std::string_view function,
                      int line, std::span<const std::string> values);
};

// Where a KOLT_LOG_* line is written: called with the function's name and the values.
struct LogSite {
    std::string_view file;
    int line = 0;
    platform::LogLevel level = platform::LogLevel::info;

    template <class... Values>
    void operator()(std::string_view function, const Values&... values) const {
        switch (level) {
        case platform::LogLevel::debug:
            Log::debug(file, function, line, values...);
            return;
        case platform::LogLevel::error:
            Log::error(file, function, line, values...);
            return;
        case platform::LogLevel::info:
            Log::defaultLevel(file, function, line, values...);
            return;
        }
    }
};

} // namespace koltutils

// The macros are plain names that make a LogSite; the parentheses written after them are the
// site's call. A function-like macro written over several lines gets as __LINE__ its first line
// from GCC and its last from clang, while a name has one line for both.
#define KOLT_LOG_DEBUG                                                                             \
    ::koltutils::LogSite {                                                                         \
        __FILE__, __LINE__, ::platform::LogLevel::debug                                            \
    }
#define KOLT_LOG_DEFAULT                                                                           \
    ::koltutils::LogSite {                                                                         \
        __FILE__, __LINE__, ::platform::LogLevel::info                                             \
    }
#define KOLT_LOG_ERROR                                                                             \
    ::koltutils::LogSite {                                                                         \
        __FILE__, __LINE__, ::platform::LogLevel::error                                            \
    }
