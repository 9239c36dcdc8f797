#pragma once

#include <optional>
#include <string>
#include <timecode/CMTime.h>

namespace kvnfcpx {

// A "format" resource: the video format a sequence or asset refers to by id.
struct Format {
    std::string id{};
    std::optional<std::string> name{};
    std::optional<timecode::CMTime> frameDuration{};
    std::optional<double> width{};
    std::optional<double> height{};
    std::optional<std::string> colorspace{};

    friend bool operator==(const Format&, const Format&) = default;
};

} // namespace kvnfcpx
