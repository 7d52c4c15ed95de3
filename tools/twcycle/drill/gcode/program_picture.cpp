#include "program_picture.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "twcycle/drill/drill_file.h"

namespace twcycle::drill::gcode {
namespace {

constexpr double kWidth = 900.0;
constexpr double kPlotHeight = 640.0;
constexpr double kMargin = 24.0;
constexpr double kCaptionHeight = 32.0;
constexpr double kLegendLineHeight = 18.0;
constexpr std::size_t kMaxLegendEntries = 24;

constexpr const char* kPalette[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                    "#ff7f0e", "#17becf", "#8c564b", "#e377c2"};
constexpr std::size_t kPaletteSize = sizeof kPalette / sizeof kPalette[0];

const char* colour(std::size_t section) { return section == 0 ? "#444444" : kPalette[(section - 1) % kPaletteSize]; }


std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string escapeXml(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        }
    }
    return escaped;
}

// Maps program coordinates onto the drawing, keeping the aspect ratio.
struct View {
    double minX = 0.0, minY = 0.0, scale = 1.0, left = kMargin, bottom = kCaptionHeight + kPlotHeight;
    double x(double value) const { return left + (value - minX) * scale; }
    double y(double value) const { return bottom - (value - minY) * scale; }
};

View viewOf(const ProgramReading& reading) {
    double minX = std::numeric_limits<double>::infinity(), minY = minX;
    double maxX = -minX, maxY = -minX;
    for (const ProgramMove& move : reading.moves)
        for (const ProgramPosition* p : {&move.from, &move.to})
            if (p->x && p->y) {
                minX = std::min(minX, planeValue(*p->x));
                maxX = std::max(maxX, planeValue(*p->x));
                minY = std::min(minY, planeValue(*p->y));
                maxY = std::max(maxY, planeValue(*p->y));
            }
    View view;
    if (!(minX <= maxX)) return view;
    const double width = std::max(maxX - minX, 1e-9);
    const double height = std::max(maxY - minY, 1e-9);
    view.minX = minX;
    view.minY = minY;
    view.scale = std::min((kWidth - 2 * kMargin) / width, (kPlotHeight - 2 * kMargin) / height);
    view.left = kMargin + ((kWidth - 2 * kMargin) - width * view.scale) / 2.0;
    view.bottom = kCaptionHeight + kPlotHeight - kMargin;
    return view;
}

}  // namespace

std::string renderProgramSvg(const ProgramReading& reading, const std::string& caption,
                             const std::vector<std::string>& toolNames) {
    const View view = viewOf(reading);
    const std::size_t legend = std::min(toolNames.size(), kMaxLegendEntries) + 2;
    const double height = kCaptionHeight + kPlotHeight + static_cast<double>(legend) * kLegendLineHeight + kMargin;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth) + "\" height=\"" +
                      number(height) + "\" viewBox=\"0 0 " + number(kWidth) + " " + number(height) + "\">\n";
    svg += "<style>.rapid{stroke:#999999;stroke-width:0.8;stroke-dasharray:4 3;fill:none}"
           ".feed{stroke-width:1.6;fill:none}.plunge{stroke:none}text{font-family:sans-serif;font-size:13px}</style>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += "<text x=\"" + number(kMargin) + "\" y=\"20\">" + escapeXml(caption) + "</text>\n";
    svg += "<rect x=\"" + number(kMargin / 2) + "\" y=\"" + number(kCaptionHeight) + "\" width=\"" +
           number(kWidth - kMargin) + "\" height=\"" + number(kPlotHeight) + "\" fill=\"none\" stroke=\"#cccccc\"/>\n";
    for (const ProgramMove& move : reading.moves) {
        if (!move.from.x || !move.from.y || !move.to.x || !move.to.y) continue;
        if (*move.from.x == *move.to.x && *move.from.y == *move.to.y) continue;
        svg += "<line class=\"" + std::string(move.rapid ? "rapid" : "feed") + "\" x1=\"" +
               number(view.x(planeValue(*move.from.x))) + "\" y1=\"" + number(view.y(planeValue(*move.from.y))) + "\" x2=\"" +
               number(view.x(planeValue(*move.to.x))) + "\" y2=\"" + number(view.y(planeValue(*move.to.y))) + "\"";
        if (!move.rapid) svg += " stroke=\"" + std::string(colour(move.section)) + "\"";
        svg += "/>\n";
    }
    for (const ProgramPlunge& plunge : reading.plunges) {
        svg += "<circle class=\"plunge\" cx=\"" + number(view.x(planeValue(plunge.x))) + "\" cy=\"" +
               number(view.y(planeValue(plunge.y))) + "\" r=\"2.5\" fill=\"" + colour(plunge.section) + "\"/>\n";
    }
    double y = kCaptionHeight + kPlotHeight + kLegendLineHeight;
    svg += "<line class=\"rapid\" x1=\"" + number(kMargin) + "\" y1=\"" + number(y - 4) + "\" x2=\"" +
           number(kMargin + 30) + "\" y2=\"" + number(y - 4) + "\"/><text x=\"" + number(kMargin + 40) + "\" y=\"" +
           number(y) + "\">rapid move (G0)</text>\n";
    for (std::size_t i = 0; i < toolNames.size() && i < kMaxLegendEntries; ++i) {
        y += kLegendLineHeight;
        svg += "<line class=\"feed\" stroke=\"" + std::string(colour(i + 1)) + "\" x1=\"" + number(kMargin) +
               "\" y1=\"" + number(y - 4) + "\" x2=\"" + number(kMargin + 30) + "\" y2=\"" + number(y - 4) +
               "\"/><circle cx=\"" + number(kMargin + 15) + "\" cy=\"" + number(y - 4) + "\" r=\"2.5\" fill=\"" +
               colour(i + 1) + "\"/><text x=\"" + number(kMargin + 40) + "\" y=\"" + number(y) + "\">" +
               escapeXml(toolNames[i]) + ": feed moves and holes</text>\n";
    }
    if (toolNames.size() > kMaxLegendEntries) {
        y += kLegendLineHeight;
        svg += "<text x=\"" + number(kMargin) + "\" y=\"" + number(y) + "\">and " +
               std::to_string(toolNames.size() - kMaxLegendEntries) + " more tools</text>\n";
    }
    return svg + "</svg>\n";
}

}  // namespace twcycle::drill::gcode
