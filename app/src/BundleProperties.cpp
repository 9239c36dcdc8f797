#include "BundleProperties.h"

#include <array>
#include <charconv>

namespace velotrack {
namespace {

// The leading decimal number of `text`, or 0 when it does not start with one that fits.
std::uint32_t leadingNumber(std::string_view text) {
    std::uint32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} ? value : 0;
}

std::array<std::uint32_t, 3> dottedNumbers(std::string_view text) {
    std::array<std::uint32_t, 3> numbers{};
    for (auto& number : numbers) {
        const auto dot = text.find('.');
        number = leadingNumber(text.substr(0, dot));
        if (dot == std::string_view::npos) {
            break;
        }
        text.remove_prefix(dot + 1);
    }
    return numbers;
}

} // namespace

BundleProperties BundleProperties::fromBundle(const std::optional<platform::Bundle>& bundle) {
    BundleProperties properties;
    if (!bundle) {
        return properties;
    }
    properties.appName = bundle->infoString("CFBundleName");
    properties.appVersionBuild = bundle->infoString("CFBundleVersion");
    properties.appCopyright = bundle->infoString("NSHumanReadableCopyright");
    properties.appCopyrightShort = bundle->infoString("ShortCopyright");

    const auto [major, minor, patch] =
        dottedNumbers(bundle->infoString("CFBundleShortVersionString").value_or(""));
    properties.applicationVersion = {major, minor, patch,
                                     leadingNumber(properties.appVersionBuild.value_or(""))};
    return properties;
}

std::string BundleProperties::displayName() const {
    return appName.value_or(std::string(productName));
}

const BundleProperties& AppProperties::bundleProperties() {
    static const BundleProperties properties =
        BundleProperties::fromBundle(platform::Bundle::main());
    return properties;
}

} // namespace velotrack
