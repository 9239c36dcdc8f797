#include "timecode/SignedTimecode.h"

namespace timecode {

std::string SignedTimecode::stringValue() const {
    const bool isZero = timecode.components == TimecodeComponents{};
    return (sign == Sign::minus && !isZero ? "-" : "") + timecode.stringValue();
}

} // namespace timecode
