#include "DescriptionFormatting.h"

#include <koltutils/Describe.h>

namespace velotrack::cli {

std::string frameRateText(timecode::TimecodeFrameRate rate) {
    return std::string(timecode::stringValue(rate));
}

std::string urlText(const koltutils::URL& url) {
    return url.absoluteString();
}

std::string exactTimeText(const timecode::CMTime& time) {
    if (!time.isNumeric()) {
        return time.description();
    }
    return time.timescale == 1
               ? std::to_string(time.value) + "s"
               : std::to_string(time.value) + "/" + std::to_string(time.timescale) + "s";
}

} // namespace velotrack::cli
