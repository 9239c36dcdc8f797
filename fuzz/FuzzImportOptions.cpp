// Import options read from a stored property list in either encoding.

#include <cstddef>
#include <cstdint>
#include <kvninterchange/DecodingError.h>
#include <kvninterchange/TimelineImporterOptions.h>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)kvninterchange::TimelineImporterOptions::fromPropertyList(
            std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const kvninterchange::DecodingError&) {
    }
    return 0;
}
