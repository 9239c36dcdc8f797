#include "timeline/SvgWriter.h"

#include <cstdio>
#include <sstream>

namespace velotrack::timeline {

namespace {

std::string escaped(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

// Two decimals are finer than a pixel and keep the file compact and stable.
std::string number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text(buffer);
    while (!text.empty() && text.back() == '0') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

std::string color(const Color& c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.red, c.green, c.blue);
    return buffer;
}

void writeAttributes(std::ostream& out, const Attributes& attributes) {
    for (const auto& [name, value] : attributes) {
        out << ' ' << name << "=\"" << escaped(value) << '"';
    }
}

struct ShapeWriter {
    std::ostream& out;

    void operator()(const RectShape& rect) const {
        out << "<rect";
        writeAttributes(out, rect.attributes);
        out << " x=\"" << number(rect.x) << "\" y=\"" << number(rect.y) << "\" width=\""
            << number(rect.width) << "\" height=\"" << number(rect.height) << "\" fill=\""
            << color(rect.fill) << '"';
        if (rect.stroke) {
            out << " stroke=\"" << color(*rect.stroke) << "\" stroke-width=\"1\"";
        }
        out << "/>\n";
    }
    void operator()(const TextShape& text) const {
        out << "<text x=\"" << number(text.x) << "\" y=\"" << number(text.y) << "\" font-size=\""
            << number(text.size) << "\" fill=\"" << color(text.color) << "\">" << escaped(text.text)
            << "</text>\n";
    }
    void operator()(const LineShape& line) const {
        out << "<line x1=\"" << number(line.x1) << "\" y1=\"" << number(line.y1) << "\" x2=\""
            << number(line.x2) << "\" y2=\"" << number(line.y2) << "\" stroke=\""
            << color(line.color) << "\" stroke-width=\"" << number(line.width) << "\"/>\n";
    }
    void operator()(const PolygonShape& polygon) const {
        out << "<polygon";
        writeAttributes(out, polygon.attributes);
        out << " points=\"";
        for (std::size_t index = 0; index < polygon.points.size(); ++index) {
            out << (index ? " " : "") << number(polygon.points[index].first) << ','
                << number(polygon.points[index].second);
        }
        out << "\" fill=\"" << color(polygon.fill) << "\"/>\n";
    }
};

} // namespace

std::string svgText(const TimelineDrawing& drawing) {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << number(drawing.width)
        << "\" height=\"" << number(drawing.height) << "\" viewBox=\"0 0 " << number(drawing.width)
        << ' ' << number(drawing.height)
        << "\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\">\n"
        << "<rect class=\"background\" width=\"100%\" height=\"100%\" fill=\""
        << color(drawing.background) << "\"/>\n";
    const ShapeWriter writer{out};
    for (const auto& shape : drawing.shapes) {
        std::visit(writer, shape);
    }
    out << "</svg>\n";
    return std::move(out).str();
}

} // namespace velotrack::timeline
