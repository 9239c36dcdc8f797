#pragma once

#include <optional>
#include <timecode/CMTime.h>

namespace kvnfcpx {

// A clip's gain and fades as written in its "adjust-volume" element.
struct ClipVolume {
    // Gain in decibels as written (0 is unity); not converted to a linear factor.
    std::optional<float> adjustVolume{};
    std::optional<timecode::CMTime> fadeIn{};
    std::optional<timecode::CMTime> fadeOut{};

    friend bool operator==(const ClipVolume&, const ClipVolume&) = default;
};

} // namespace kvnfcpx
