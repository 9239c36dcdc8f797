#include "BundleProperties.h"

#include "koltutils/Log.h"
#include "kvnutils/AppleScript.h"
#include "platform/Process.h"

#include <QCoreApplication>
#include <array>
#include <charconv>
#include <cstdlib>

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

std::string BundleProperties::relaunchCommand(double afterDelay, const platform::Bundle& bundle) {
    std::array<char, 32> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), afterDelay);
    std::string command = "sleep " + std::string(digits.data(), written.ptr) + "; ";
#ifdef __APPLE__
    command += "open \"" + bundle.bundlePath().string() + "\"";
#else
    // No `open` here (Debian's is openvt): the executable itself starts the bundle.
    const auto executable = bundle.executablePath();
    command += "exec " + kvnutils::AppleScript::shellQuoted(
                             executable.value_or(bundle.bundlePath() / "Contents" / "MacOS"));
#endif
    return command;
}

void BundleProperties::relaunch(double afterDelay) {
    if (const auto bundle = platform::Bundle::main()) {
        platform::Process::Options options;
        options.capturesOutput = false;
        platform::Process shell("/bin/sh", {"-c", relaunchCommand(afterDelay, *bundle)}, options);
        try {
            shell.launch();
        } catch (const platform::ProcessLaunchError& error) {
            KOLT_LOG_ERROR("relaunch(afterDelay:)", error.what());
        }
    } else {
        KOLT_LOG_ERROR("relaunch(afterDelay:)", "no main bundle to reopen");
    }
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::quit();
    }
    std::exit(0);
}

const BundleProperties& AppProperties::bundleProperties() {
    static const BundleProperties properties =
        BundleProperties::fromBundle(platform::Bundle::main());
    return properties;
}

} // namespace velotrack
