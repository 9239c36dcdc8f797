#include "kvntime/TimeSignature.h"

#include <koltutils/DescribedError.h>

namespace kvntime {

TimeSignature::TimeSignature(int givenNumerator, int givenDenominator)
    : numerator(givenNumerator), denominator(givenDenominator) {
    if (!isValid(givenNumerator, givenDenominator)) {
        throw koltutils::DescribedError("invalid arguments: " + description());
    }
}

std::string TimeSignature::description() const {
    return std::to_string(numerator) + "/" + std::to_string(denominator);
}

} // namespace kvntime
