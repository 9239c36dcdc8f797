#pragma once

#include "kvnfcpx/Sequence.h"

#include <optional>
#include <string>

namespace kvnfcpx {

// The project read from a document (or the event standing in for one).
struct Project {
    using Sequence = kvnfcpx::Sequence;

    std::optional<std::string> name{};
    std::optional<std::string> uid{};
    std::optional<Sequence> sequence{};

    friend bool operator==(const Project&, const Project&) = default;
};

} // namespace kvnfcpx
