// Loads arbitrary bytes as an FCPXML document through the whole walk: resources, spine, compound,
// multicam and sync clips. Refusals are expected; crashes, hangs and unbounded growth are not.

#include <cstddef>
#include <cstdint>
#include <koltutils/Log.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <memory>
#include <platform/LogSink.h>
#include <span>

namespace {

class SilentSink final : public platform::LogSink {
public:
    void write(const platform::LogRecord&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        koltutils::Log::setSink(std::make_shared<SilentSink>());
        return true;
    }();
    (void)quiet;
    const kvnfcpx::ParserOptions options{.stableIdentifiers = true, .acceptNewerVersions = true};
    try {
        const auto description =
            kvnfcpx::FCPXMLDescription::loadBytes(std::span(data, size), options);
        (void)description.projectStartTimecode();
    } catch (const kvnfcpx::LoadingError&) {
    }
    return 0;
}
