#pragma once

#include "kvnfcpx/ArchivedValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvnfcpx {

// One audio effect ("filter-audio") applied to a clip.
struct ClipEffect {
    struct Param {
        std::string name{};
        std::string key{};
        float value = 0;

        friend bool operator==(const Param&, const Param&) = default;
    };

    std::optional<std::string> name{};
    // The uid of the effect resource the filter refers to.
    std::string uid{};
    std::optional<std::string> presetID{};
    // The archived effect state, base64-decoded.
    std::optional<std::vector<std::uint8_t>> effectState{};
    std::vector<Param> params{};
    bool enabled = true;

    // The decoded `effectState`: the dictionary the effect archived under "effectState", when
    // the bytes are a keyed archive holding one with text keys; nothing otherwise. An archive
    // that cannot be opened is logged as an error.
    [[nodiscard]] std::optional<ArchivedValue::Dictionary> fullState() const;

    friend bool operator==(const ClipEffect&, const ClipEffect&) = default;
};

} // namespace kvnfcpx
