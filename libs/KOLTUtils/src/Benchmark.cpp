#include "koltutils/Benchmark.h"

#include "koltutils/Log.h"

#include <chrono>

namespace koltutils {

Benchmark::Benchmark(std::optional<std::string> label) {
    if (label) {
        start("init(label:)", __FILE__, *label);
    }
}

double Benchmark::now() noexcept {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceEpoch).count();
}

void Benchmark::start(std::string_view funcName, std::string_view file, std::string_view label) {
    if (isStarted_) {
        stop("start(funcName:file:label:)", file);
    }
    label_ = label;
    isStarted_ = true;
    startScanTime_ = now();
    Log::debug(file, funcName, __LINE__, "⏱🟢 " + label_);
}

void Benchmark::elapsed(std::string_view funcName, std::string_view file, std::string_view label) {
    const double duration = now() - startScanTime_;
    Log::debug(file, funcName, __LINE__,
               "⏱🔴 " + std::string(label) + " " + describe(duration) + " elapsed seconds.");
}

double Benchmark::stop(std::string_view funcName, std::string_view file) {
    if (!isStarted_) {
        return -1.0;
    }
    endScanTime_ = now() - startScanTime_;
    Log::debug(file, funcName, __LINE__,
               "⏱🔴 " + label_ + " took " + describe(endScanTime_) + " seconds.");
    isStarted_ = false;
    return endScanTime_;
}

} // namespace koltutils
