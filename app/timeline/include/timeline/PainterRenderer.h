#pragma once

#include "timeline/TimelineDrawing.h"

#include <QImage>
#include <QPainter>
#include <QRectF>

namespace velotrack::timeline {

// Paints the shapes that meet `exposed` (all of them when it is null), so a window showing a
// part of a long timeline does not walk every clip's painting.
void paintDrawing(QPainter& painter, const TimelineDrawing& drawing, const QRectF& exposed = {});

// The drawing rasterised at its own size. Needs no application object or display.
QImage renderImage(const TimelineDrawing& drawing);

} // namespace velotrack::timeline
