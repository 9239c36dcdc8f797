#pragma once

// The timeline picture of a project, as plain shapes in pixels. The picture is a function of
// the description and the width: the command line writes it as SVG or rasterises it, the
// application paints it, and both draw exactly these shapes.
//
// Geometry: x grows linearly with time from the sequence start (offsets count from it); the
// ruler and the marker flags sit above the lanes; lanes are rows, the highest lane on top and
// the primary storyline (lane 0, or no lane) in its place among them.

#include <cstdint>
#include <kvnfcpx/FCPXMLDescription.h>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace velotrack::timeline {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Color&, const Color&) = default;
};

// Attributes a shape carries for readers of the SVG ("class", "data-lane", ...).
using Attributes = std::vector<std::pair<std::string, std::string>>;

struct RectShape {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    Color fill{};
    std::optional<Color> stroke{};
    Attributes attributes{};
};

// Text with its baseline starting at (x, y), already shortened to fit where it is drawn.
struct TextShape {
    double x = 0;
    double y = 0;
    std::string text{};
    double size = 11;
    Color color{};
};

struct LineShape {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    Color color{};
    double width = 1;
};

struct PolygonShape {
    std::vector<std::pair<double, double>> points{};
    Color fill{};
    Attributes attributes{};
};

using Shape = std::variant<RectShape, TextShape, LineShape, PolygonShape>;

struct TimelineDrawing {
    double width = 0;
    double height = 0;
    Color background{};
    std::vector<Shape> shapes{};
    // Pixels per second of timeline, and the x of the sequence start.
    double pixelsPerSecond = 0;
    double originX = 0;
};

// The colour of a clip's role: by its main role (the text before the first "."), the editor's
// colours for dialogue, music and effects, and for any other role a colour derived from its
// name alone, so it is the same in every document and every run.
Color roleColor(const std::optional<std::string>& audioRole);

// The text that fits `width` pixels at `size`: whole, shortened with "…", or empty.
std::string fittedText(const std::string& text, double width, double size);

// The picture at `width` pixels (at least 200). The height follows from the number of lanes.
TimelineDrawing drawTimeline(const kvnfcpx::FCPXMLDescription& description, double width);

} // namespace velotrack::timeline
