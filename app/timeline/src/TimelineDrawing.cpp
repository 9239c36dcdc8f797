#include "timeline/TimelineDrawing.h"

#include "timeline/RulerTicks.h"
#include "timeline/TimeText.h"

#include <algorithm>
#include <cmath>
#include <koltutils/EnumTable.h>
#include <map>
#include <set>

namespace velotrack::timeline {

namespace {

using kvnfcpx::AssetClip;
using kvnfcpx::Marker;

constexpr double margin = 8;
constexpr double rulerHeight = 26;
constexpr double flagsHeight = 22;
constexpr double laneHeight = 30;
constexpr double barInset = 3;
constexpr double nameSize = 11;
constexpr double minimumWidth = 200;

constexpr Color background{30, 31, 34};
constexpr Color rulerColor{150, 152, 158};
constexpr Color laneColor{40, 41, 45};
constexpr Color barOutline{12, 12, 14};
constexpr Color nameColor{245, 245, 245};
constexpr Color commentColor{88, 166, 255};
constexpr Color chapterColor{255, 149, 0};

std::uint8_t channel(double unit) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(unit, 0.0, 1.0) * 255));
}

// FNV-1a: a hash that is the same on every run and platform, unlike std::hash.
std::uint32_t stableHash(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<std::uint8_t>(c);
        hash *= 16777619u;
    }
    return hash;
}

Color fromHue(double hue, double saturation, double value) {
    const double c = value * saturation;
    const double h = hue / 60.0;
    const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double r = 0;
    double g = 0;
    double b = 0;
    if (h < 1) {
        r = c, g = x;
    } else if (h < 2) {
        r = x, g = c;
    } else if (h < 3) {
        g = c, b = x;
    } else if (h < 4) {
        g = x, b = c;
    } else if (h < 5) {
        r = x, b = c;
    } else {
        r = c, b = x;
    }
    const double m = value - c;
    return {channel(r + m), channel(g + m), channel(b + m)};
}

// A tick spacing from a fixed ladder, the smallest leaving at least `minimum` pixels.
double tickInterval(double pixelsPerSecond, double minimum) {
    static constexpr double ladder[] = {1,   2,   5,    10,   15,   30,    60,    120,  300,
                                        600, 900, 1800, 3600, 7200, 14400, 28800, 86400};
    for (const double interval : ladder) {
        if (interval * pixelsPerSecond >= minimum) {
            return interval;
        }
    }
    return ladder[std::size(ladder) - 1];
}

std::string offsetText(const timecode::CMTime& time) {
    return std::to_string(time.value) + "/" + std::to_string(time.timescale) + "s";
}

} // namespace

Color roleColor(const std::optional<std::string>& audioRole) {
    if (!audioRole) {
        return {110, 112, 118};
    }
    const auto mainRole = audioRole->substr(0, audioRole->find('.'));
    if (const auto role = koltutils::fromRawValue<kvnfcpx::AudioRole>(mainRole)) {
        const auto& color = koltutils::caseOf(*role).color;
        return {channel(color.red), channel(color.green), channel(color.blue)};
    }
    return fromHue(static_cast<double>(stableHash(mainRole) % 360), 0.55, 0.72);
}

std::string fittedText(const std::string& text, double width, double size) {
    // An average glyph of the sans-serif faces both renderers use is about 0.6 em wide.
    const double glyph = 0.6 * size;
    const auto available = static_cast<std::ptrdiff_t>(std::floor(width / glyph));
    std::vector<std::size_t> starts;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if ((static_cast<unsigned char>(text[index]) & 0xC0) != 0x80) {
            starts.push_back(index);
        }
    }
    const auto length = static_cast<std::ptrdiff_t>(starts.size());
    if (length <= available) {
        return text;
    }
    if (available < 2) {
        return {};
    }
    return text.substr(0, starts[static_cast<std::size_t>(available - 1)]) + "…";
}

TimelineDrawing drawTimeline(const kvnfcpx::FCPXMLDescription& description, double width) {
    TimelineDrawing drawing;
    drawing.width = std::max(width, minimumWidth);
    drawing.background = background;

    const auto& project = description.project;
    const kvnfcpx::Sequence* sequence =
        project && project->sequence ? &*project->sequence : nullptr;
    static const std::vector<AssetClip> noClips;
    static const std::vector<Marker> noMarkers;
    const auto& clips = sequence && sequence->content ? sequence->content->assetClips : noClips;
    const auto& markers = sequence && sequence->content ? sequence->content->markers : noMarkers;

    // The span shown: the sequence's duration, stretched to whatever lies beyond it.
    double span = sequence && sequence->duration ? finiteSeconds(*sequence->duration) : 0.0;
    for (const auto& clip : clips) {
        span = std::max(span, finiteSeconds(clip.clipTime.offset) +
                                  finiteSeconds(clip.clipTime.duration));
    }
    for (const auto& marker : markers) {
        span = std::max(span, finiteSeconds(marker.clipTime.offset));
    }
    if (span <= 0) {
        span = 1;
    }

    std::set<std::int64_t, std::greater<>> laneSet{0};
    for (const auto& clip : clips) {
        laneSet.insert(clip.lane.value_or(0));
    }
    std::map<std::int64_t, std::size_t> rowOfLane;
    for (const auto lane : laneSet) {
        rowOfLane.emplace(lane, rowOfLane.size());
    }

    const double lanesTop = rulerHeight + flagsHeight;
    drawing.height = lanesTop + static_cast<double>(laneSet.size()) * laneHeight + margin;
    drawing.originX = margin;
    drawing.pixelsPerSecond = (drawing.width - 2 * margin) / span;
    const auto xOf = [&](double time) { return drawing.originX + time * drawing.pixelsPerSecond; };

    auto& shapes = drawing.shapes;
    shapes.reserve(clips.size() * 2 + markers.size() + 64);

    // Lane backgrounds.
    for (const auto& [lane, row] : rowOfLane) {
        shapes.emplace_back(RectShape{0,
                                      lanesTop + static_cast<double>(row) * laneHeight,
                                      drawing.width,
                                      laneHeight - 1,
                                      laneColor,
                                      std::nullopt,
                                      {{"class", "lane"}, {"data-lane", std::to_string(lane)}}});
    }

    // The ruler: ticks at a readable spacing, labelled with the timecode at that point.
    const auto rate = description.frameRate();
    const timecode::CMTime start = sequence ? sequence->tcStart : timecode::CMTime::zero;
    shapes.emplace_back(
        LineShape{0, rulerHeight - 0.5, drawing.width, rulerHeight - 0.5, rulerColor, 1});
    const double interval = tickInterval(drawing.pixelsPerSecond, 110);
    for (const RulerTick& tick : rulerTicks(start, span, interval, rate)) {
        const double x = xOf(tick.at);
        shapes.emplace_back(LineShape{x, rulerHeight - 8, x, rulerHeight, rulerColor, 1});
        shapes.emplace_back(TextShape{x + 3, rulerHeight - 11, tick.label, 10, rulerColor});
    }

    // Markers and chapter markers: a flag above the lanes at the marker's offset.
    for (const auto& marker : markers) {
        const bool chapter = marker.kind() == Marker::MarkerKind::chapter;
        const double x = xOf(finiteSeconds(marker.clipTime.offset));
        const Color color = chapter ? chapterColor : commentColor;
        const double top = rulerHeight + 3;
        shapes.emplace_back(LineShape{x, top, x, lanesTop, color, 1});
        shapes.emplace_back(PolygonShape{{{x, top}, {x + 9, top + 4}, {x, top + 8}},
                                         color,
                                         {{"class", chapter ? "chapter-marker" : "marker"},
                                          {"data-offset", offsetText(marker.clipTime.offset)}}});
    }

    // Clip bars with their names where they fit.
    for (const auto& clip : clips) {
        const auto lane = clip.lane.value_or(0);
        const double x = xOf(finiteSeconds(clip.clipTime.offset));
        const double barWidth =
            std::max(1.0, finiteSeconds(clip.clipTime.duration) * drawing.pixelsPerSecond);
        const double y = lanesTop + static_cast<double>(rowOfLane.at(lane)) * laneHeight + barInset;
        const double barHeight = laneHeight - 2 * barInset - 1;
        shapes.emplace_back(RectShape{x,
                                      y,
                                      barWidth,
                                      barHeight,
                                      roleColor(clip.audioRole),
                                      barOutline,
                                      {{"class", "clip"},
                                       {"data-lane", std::to_string(lane)},
                                       {"data-offset", offsetText(clip.clipTime.offset)}}});
        shapes.emplace_back(TextShape{x + 4, y + barHeight / 2 + nameSize * 0.35,
                                      fittedText(clip.name.value_or(""), barWidth - 8, nameSize),
                                      nameSize, nameColor});
    }
    return drawing;
}

} // namespace velotrack::timeline
