#pragma once

// The stored forms of the musical value types: JSON objects under the system's coding keys.
// Absent optionals are left out when writing and read back from a missing key or null. Reading
// throws koltutils::DescribedError naming the key that failed (or the text, when it is not JSON);
// a stored time signature is validated like a new one.
//
//   TimeSignature          "numerator", "denominator"
//   VisualMusicalMeasure   "pixelsPerSubdivision", "pixelsPerBeat", "pixelsPerBar"
//   VisualMusicalTime      "_pixelsPerSecond", "_tempo", "timeSignature", "visualMeasure"
//   TimelineTempo          "visualTime", "allowsTempoChange", "lockNaturalTempo",
//                          "internalTempo", "virtualTempo", "masterTempo", "useMasterTempo",
//                          "_rate"

#include "kvntime/TimeSignature.h"
#include "kvntime/TimelineTempo.h"
#include "kvntime/VisualMusicalMeasure.h"
#include "kvntime/VisualMusicalTime.h"

#include <string>
#include <string_view>

namespace kvntime {

std::string toJSON(const TimeSignature& value);
std::string toJSON(const VisualMusicalMeasure& value);
std::string toJSON(const VisualMusicalTime& value);
std::string toJSON(const TimelineTempo& value);

TimeSignature timeSignatureFromJSON(std::string_view json);
VisualMusicalMeasure visualMusicalMeasureFromJSON(std::string_view json);
VisualMusicalTime visualMusicalTimeFromJSON(std::string_view json);
TimelineTempo timelineTempoFromJSON(std::string_view json);

} // namespace kvntime
