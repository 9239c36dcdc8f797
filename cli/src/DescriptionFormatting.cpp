#include "DescriptionFormatting.h"

#include <koltutils/Describe.h>

namespace velotrack::cli {

std::string frameRateText(timecode::TimecodeFrameRate rate) {
    return std::string(timecode::stringValue(rate));
}

std::string urlText(const koltutils::URL& url) {
    return url.absoluteString();
}

std::string secondsText(const timecode::CMTime& time) {
    return koltutils::describe(time.seconds()) + "s";
}

} // namespace velotrack::cli
