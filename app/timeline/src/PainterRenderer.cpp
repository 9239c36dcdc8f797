#include "timeline/PainterRenderer.h"

#include <QFont>
#include <QPolygonF>
#include <algorithm>

namespace velotrack::timeline {

namespace {

QColor qColor(const Color& color) {
    return {color.red, color.green, color.blue};
}

struct ShapePainter {
    QPainter& painter;
    const QRectF& exposed;

    bool outside(const QRectF& bounds) const {
        return !exposed.isNull() && !exposed.intersects(bounds.adjusted(-1, -1, 1, 1));
    }

    void operator()(const RectShape& rect) const {
        const QRectF bounds(rect.x, rect.y, rect.width, rect.height);
        if (outside(bounds)) {
            return;
        }
        painter.setPen(rect.stroke ? QPen(qColor(*rect.stroke), 1) : QPen(Qt::NoPen));
        painter.setBrush(qColor(rect.fill));
        painter.drawRect(bounds);
    }
    void operator()(const TextShape& text) const {
        if (text.text.empty()) {
            return;
        }
        // Text extends right of and above its baseline origin; a generous box suffices.
        const QRectF bounds(text.x, text.y - text.size * 1.2,
                            text.size * 0.6 * static_cast<double>(text.text.size()) + text.size,
                            text.size * 1.6);
        if (outside(bounds)) {
            return;
        }
        QFont font = painter.font();
        font.setPixelSize(std::max(1, static_cast<int>(text.size)));
        painter.setFont(font);
        painter.setPen(qColor(text.color));
        painter.drawText(QPointF(text.x, text.y), QString::fromStdString(text.text));
    }
    void operator()(const LineShape& line) const {
        const QRectF bounds =
            QRectF(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2)).normalized();
        if (outside(bounds)) {
            return;
        }
        painter.setPen(QPen(qColor(line.color), line.width));
        painter.drawLine(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2));
    }
    void operator()(const PolygonShape& polygon) const {
        QPolygonF points;
        for (const auto& [x, y] : polygon.points) {
            points << QPointF(x, y);
        }
        if (outside(points.boundingRect())) {
            return;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(qColor(polygon.fill));
        painter.drawPolygon(points);
    }
};

} // namespace

void paintDrawing(QPainter& painter, const TimelineDrawing& drawing, const QRectF& exposed) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(exposed.isNull() ? QRectF(0, 0, drawing.width, drawing.height) : exposed,
                     qColor(drawing.background));
    const ShapePainter shapePainter{painter, exposed};
    for (const auto& shape : drawing.shapes) {
        std::visit(shapePainter, shape);
    }
    painter.restore();
}

QImage renderImage(const TimelineDrawing& drawing) {
    QImage image(static_cast<int>(std::ceil(drawing.width)),
                 static_cast<int>(std::ceil(drawing.height)), QImage::Format_RGB32);
    image.fill(qColor(drawing.background));
    QPainter painter(&image);
    paintDrawing(painter, drawing);
    painter.end();
    return image;
}

} // namespace velotrack::timeline
