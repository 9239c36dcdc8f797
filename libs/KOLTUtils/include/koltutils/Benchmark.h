#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace koltutils {

// Times a stretch of work on the monotonic clock and reports through the debug log (so nothing is
// written in a release build):
//   "⏱🟢 <label>" on start, "⏱🔴 <label> took <seconds> seconds." on stop and
//   "⏱🔴 <label> <seconds> elapsed seconds." for a reading in between.
// The reporting function and file default to the caller's. Not for sharing between threads.
class Benchmark {
public:
    // With a label the measurement starts at once.
    explicit Benchmark(std::optional<std::string> label = std::nullopt);

    // Starts a measurement, first stopping (and reporting) one that is running.
    void start(std::string_view funcName = __builtin_FUNCTION(),
               std::string_view file = __builtin_FILE(), std::string_view label = "");

    // Reports the time since the last start without stopping.
    void elapsed(std::string_view funcName = __builtin_FUNCTION(),
                 std::string_view file = __builtin_FILE(), std::string_view label = "");

    // Stops and returns the measured seconds; -1.0 (and no report) when nothing is running.
    double stop(std::string_view funcName = __builtin_FUNCTION(),
                std::string_view file = __builtin_FILE());

    double startScanTime() const noexcept { return startScanTime_; }
    // The last measured duration.
    double endScanTime() const noexcept { return endScanTime_; }
    const std::string& label() const noexcept { return label_; }
    bool isStarted() const noexcept { return isStarted_; }

    // Seconds on the monotonic clock.
    static double now() noexcept;

private:
    double startScanTime_ = 0.0;
    double endScanTime_ = 0.0;
    std::string label_;
    bool isStarted_ = false;
};

} // namespace koltutils
