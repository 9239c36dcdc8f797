// URL commands: any text that reads as a URL, then as a command.

#include <cstddef>
#include <cstdint>
#include <koltutils/DescribedError.h>
#include <koltutils/URL.h>
#include <kvninterchange/KVNURLCommand.h>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto url =
        koltutils::URL::fromString(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!url) {
        return 0;
    }
    try {
        const kvninterchange::KVNURLCommand command(*url);
        (void)(command == command);
    } catch (const koltutils::DescribedError&) {
    }
    return 0;
}
