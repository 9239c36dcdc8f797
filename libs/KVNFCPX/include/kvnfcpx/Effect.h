#pragma once

#include <optional>
#include <string>

namespace kvnfcpx {

// An "effect" resource, referred to by the audio filters of clips.
struct Effect {
    std::string id{};
    std::string uid{};
    std::optional<std::string> name{};

    friend bool operator==(const Effect&, const Effect&) = default;
};

} // namespace kvnfcpx
