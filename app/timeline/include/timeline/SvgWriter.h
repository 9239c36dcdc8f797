#pragma once

#include "timeline/TimelineDrawing.h"

#include <string>

namespace velotrack::timeline {

// The drawing as a standalone SVG document, one element per shape in drawing order.
std::string svgText(const TimelineDrawing& drawing);

} // namespace velotrack::timeline
