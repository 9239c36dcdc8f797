// Loads arbitrary bytes as an FCPXML document through the whole walk: resources, spine, compound,
// multicam and sync clips. Refusals are expected; crashes, hangs and unbounded growth are not.
// Each input is loaded twice, keeping the tree and letting the walk release the main timeline as
// it goes, and the two descriptions must be equal.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <koltutils/Log.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <memory>
#include <optional>
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
    const auto load = [data, size](bool releaseMainTimeline) {
        const kvnfcpx::ParserOptions options{.stableIdentifiers = true,
                                             .acceptNewerVersions = true,
                                             .releaseMainTimeline = releaseMainTimeline};
        try {
            auto description =
                kvnfcpx::FCPXMLDescription::loadBytes(std::span(data, size), options);
            (void)description.projectStartTimecode();
            // How the walk went is no part of what it found.
            description.parserOptions.releaseMainTimeline = false;
            return std::optional(std::move(description));
        } catch (const kvnfcpx::LoadingError&) {
            return std::optional<kvnfcpx::FCPXMLDescription>();
        }
    };
    if (load(false) != load(true)) {
        std::abort();
    }
    return 0;
}
