#pragma once

#include "BundleProperties.h"

#include <string>

namespace velotrack {

// What the start-up window needs to know about the application itself.
struct VelotrackInfo {
    BundleProperties buildProperties = AppProperties::bundleProperties();
    std::string notInstalledString =
        "Final Cut Pro isn't installed but you can download a free trial to try out the "
        "extension.";

    bool operator==(const VelotrackInfo&) const = default;
};

} // namespace velotrack
