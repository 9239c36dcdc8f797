#include "koltutils/ScopedLogCapture.h"

#include "koltutils/Log.h"

namespace koltutils {

ScopedLogCapture::ScopedLogCapture()
    : sink_(std::make_shared<platform::CapturingLogSink>()), previousSink_(Log::sink()),
      previousBuildConfig_(Log::buildConfig()) {
    Log::setSink(sink_);
}

ScopedLogCapture::~ScopedLogCapture() {
    Log::setSink(previousSink_);
    Log::setBuildConfig(previousBuildConfig_);
}

} // namespace koltutils
