#pragma once

#include <optional>
#include <string>

namespace koltutils::detail {

// The main bundle's identifier, looked up once per process.
const std::optional<std::string>& mainBundleIdentifier();

} // namespace koltutils::detail
