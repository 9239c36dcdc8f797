#include "timecode/SignedTimecode.h"

namespace timecode {

std::string SignedTimecode::stringValue() const {
    const bool isZero = timecode.components == TimecodeComponents{};
    const std::string unsignedText = timecode.stringValue();
    if (sign == Sign::plus || isZero) {
        return unsignedText;
    }
    std::string text(1, '-');
    text.append(unsignedText);
    return text;
}

} // namespace timecode
