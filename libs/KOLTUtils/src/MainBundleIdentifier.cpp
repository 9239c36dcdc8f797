#include "MainBundleIdentifier.h"

#include "platform/Bundle.h"

namespace koltutils::detail {

const std::optional<std::string>& mainBundleIdentifier() {
    static const std::optional<std::string> identifier = []() -> std::optional<std::string> {
        const auto bundle = platform::Bundle::main();
        return bundle ? bundle->identifier() : std::nullopt;
    }();
    return identifier;
}

} // namespace koltutils::detail
