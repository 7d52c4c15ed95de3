#include "svg_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>

#include "result_summary.h"

namespace twcycle {
namespace {

constexpr double kPanelWidth = 640.0;
constexpr double kPanelHeight = 520.0;
constexpr double kMargin = 20.0;
constexpr double kGap = 20.0;
constexpr double kCaptionHeight = 30.0;
constexpr double kPanelTitleHeight = 28.0;
constexpr double kPlotPadding = 14.0;
constexpr double kLegendLineHeight = 18.0;
constexpr double kStartMarkerSize = 9.0;
// Above this many points the markers get smaller, so that dense boards stay readable.
constexpr std::size_t kDensePointCount = 1000;

constexpr const char* kPalette[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                    "#ff7f0e", "#17becf", "#8c564b", "#e377c2"};
constexpr std::size_t kPaletteSize = sizeof kPalette / sizeof kPalette[0];

const char* colour(std::size_t index) { return kPalette[index % kPaletteSize]; }

std::string escapeXml(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default:
                // Control bytes are not allowed in XML text at all.
                escaped += static_cast<unsigned char>(c) < 32 ? ' ' : c;
        }
    }
    return escaped;
}

std::string number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

bool finite(PlanePoint point) { return std::isfinite(point.x) && std::isfinite(point.y); }

// World bounds of everything drawn, and the map from world to panel space.
class PlotFrame {
public:
    void include(PlanePoint point) {
        if (!finite(point)) return;
        minX_ = std::min(minX_, point.x);
        maxX_ = std::max(maxX_, point.x);
        minY_ = std::min(minY_, point.y);
        maxY_ = std::max(maxY_, point.y);
    }

    // Fits the bounds into the plot area below a panel's title, keeping the
    // aspect ratio and centring the drawing.
    void fit() {
        if (minX_ > maxX_) minX_ = maxX_ = minY_ = maxY_ = 0.0;
        const double width = kPanelWidth - 2 * kPlotPadding;
        const double height = kPanelHeight - kPanelTitleHeight - 2 * kPlotPadding;
        const double dx = maxX_ - minX_;
        const double dy = maxY_ - minY_;
        scale_ = 1.0;
        if (dx > 0.0 || dy > 0.0) {
            const double sx = dx > 0.0 ? width / dx : std::numeric_limits<double>::infinity();
            const double sy = dy > 0.0 ? height / dy : std::numeric_limits<double>::infinity();
            scale_ = std::min(sx, sy);
            if (!std::isfinite(scale_) || scale_ <= 0.0) scale_ = 1.0;
        }
        offsetX_ = kPlotPadding + (width - dx * scale_) / 2;
        offsetY_ = kPanelTitleHeight + kPlotPadding + (height - dy * scale_) / 2;
    }

    std::string x(double worldX) const { return number(offsetX_ + (worldX - minX_) * scale_); }
    // Larger y is drawn higher up.
    std::string y(double worldY) const { return number(offsetY_ + (maxY_ - worldY) * scale_); }

private:
    double minX_ = std::numeric_limits<double>::infinity();
    double maxX_ = -std::numeric_limits<double>::infinity();
    double minY_ = std::numeric_limits<double>::infinity();
    double maxY_ = -std::numeric_limits<double>::infinity();
    double scale_ = 1.0;
    double offsetX_ = 0.0;
    double offsetY_ = 0.0;
};

struct PanelContour {
    std::optional<PlanePoint> start;
    const std::vector<PlanePoint>* points = nullptr;  // null: not drawn
};

std::string drawPanel(const std::string& title, const std::vector<PanelContour>& contours, const PlotFrame& frame,
                      double left, double top, double markerRadius) {
    std::string svg = "<g transform=\"translate(" + number(left) + "," + number(top) + ")\">\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + number(kPanelWidth) + "\" height=\"" + number(kPanelHeight) +
           "\" fill=\"#fbfbfb\" stroke=\"#c8c8c8\"/>\n";
    svg += "<text x=\"10\" y=\"20\" font-size=\"15\" font-weight=\"bold\">" + escapeXml(title) + "</text>\n";
    for (std::size_t i = 0; i < contours.size(); ++i) {
        const PanelContour& contour = contours[i];
        if (contour.points == nullptr || contour.points->empty()) continue;
        const PlanePoint first = contour.points->front();
        if (contour.start && finite(*contour.start) && finite(first)) {
            svg += "<line class=\"move\" x1=\"" + frame.x(contour.start->x) + "\" y1=\"" + frame.y(contour.start->y) +
                   "\" x2=\"" + frame.x(first.x) + "\" y2=\"" + frame.y(first.y) +
                   "\" stroke=\"#555\" stroke-width=\"1\" stroke-dasharray=\"5 4\"/>\n";
        }
        svg += "<polyline class=\"path\" fill=\"none\" stroke=\"" + std::string(colour(i)) +
               "\" stroke-width=\"1.3\" stroke-linejoin=\"round\" points=\"";
        bool separator = false;
        for (const PlanePoint& point : *contour.points) {
            if (!finite(point)) continue;
            if (separator) svg += ' ';
            svg += frame.x(point.x) + "," + frame.y(point.y);
            separator = true;
        }
        svg += "\"/>\n";
    }
    const std::string radius = number(markerRadius);
    for (std::size_t i = 0; i < contours.size(); ++i) {
        if (contours[i].points == nullptr) continue;
        for (const PlanePoint& point : *contours[i].points) {
            if (!finite(point)) continue;
            svg += "<circle class=\"point\" cx=\"" + frame.x(point.x) + "\" cy=\"" + frame.y(point.y) + "\" r=\"" +
                   radius + "\" fill=\"" + colour(i) + "\"/>\n";
        }
    }
    if (!contours.empty() && contours.front().start && finite(*contours.front().start)) {
        const PlanePoint start = *contours.front().start;
        svg += "<g class=\"start\" transform=\"translate(" + frame.x(start.x) + "," + frame.y(start.y) + ")\">";
        svg += "<rect x=\"" + number(-kStartMarkerSize / 2) + "\" y=\"" + number(-kStartMarkerSize / 2) +
               "\" width=\"" + number(kStartMarkerSize) + "\" height=\"" + number(kStartMarkerSize) +
               "\" fill=\"#000\"/><text x=\"8\" y=\"-6\" font-size=\"12\">start</text></g>\n";
    }
    return svg + "</g>\n";
}

std::string legendLine(std::size_t index, const ResultContour& result, const SummaryRow& row) {
    std::string text = (result.name.empty() ? std::string("(no name)") : result.name) + ": " +
                       std::to_string(result.points.size()) + " points, optimized " +
                       lengthText(row.optimizedLength);
    if (row.inputLength) text += ", input order " + lengthText(row.inputLength);
    if (const auto percent = savingPercent(row.inputLength, row.optimizedLength))
        text += " (" + savingText(percent) + " saved)";
    return "<rect x=\"0\" y=\"" + number(index * kLegendLineHeight - 10) + "\" width=\"12\" height=\"12\" fill=\"" +
           colour(index) + "\"/><text x=\"18\" y=\"" + number(index * kLegendLineHeight) +
           "\" font-size=\"13\">" + escapeXml(text) + "</text>\n";
}

// The keys of the two marks that are the same in every picture.
std::string legendKeys(double top) {
    const std::string y = number(top);
    const std::string lineY = number(top - 4);
    return "<rect x=\"2\" y=\"" + number(top - 9) + "\" width=\"" + number(kStartMarkerSize) + "\" height=\"" +
           number(kStartMarkerSize) + "\" fill=\"#000\"/><text x=\"18\" y=\"" + y +
           "\" font-size=\"13\">start point</text>\n<line x1=\"120\" y1=\"" + lineY + "\" x2=\"160\" y2=\"" + lineY +
           "\" stroke=\"#555\" stroke-dasharray=\"5 4\"/><text x=\"168\" y=\"" + y +
           "\" font-size=\"13\">move from a contour's start point to its first point</text>\n";
}

}  // namespace

std::string renderSvg(const PictureInput& input) {
    static const std::vector<ResultContour> kNone;
    const std::vector<ResultContour>& results = input.results != nullptr ? *input.results : kNone;
    const bool inputPanel = input.source != nullptr && input.source->size() == results.size();
    const std::vector<SummaryRow> rows = buildSummary(results, inputPanel ? input.source : nullptr);

    PlotFrame frame;
    std::vector<PanelContour> optimized;
    std::vector<PanelContour> original;
    std::size_t pointCount = 0;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const ResultContour& result = results[i];
        optimized.push_back(PanelContour{result.start, &result.points});
        for (const PlanePoint& point : result.points) frame.include(point);
        if (result.start) frame.include(*result.start);
        pointCount += result.points.size();
        if (!inputPanel) continue;
        const SourceContour& source = (*input.source)[i];
        const bool drawn = source.points.size() == result.points.size();
        original.push_back(PanelContour{result.start, drawn ? &source.points : nullptr});
        if (drawn)
            for (const PlanePoint& point : source.points) frame.include(point);
    }
    frame.fit();

    const std::size_t legendEntries = std::min(results.size(), kMaxLegendEntries);
    const bool legendCut = results.size() > kMaxLegendEntries;
    const double width = 2 * kMargin + kPanelWidth + (inputPanel ? kGap + kPanelWidth : 0.0);
    const double legendTop = kMargin + kCaptionHeight + kPanelHeight + kMargin + 10;
    const double height = legendTop + (legendEntries + (legendCut ? 2 : 1)) * kLegendLineHeight + kMargin;
    const double markerRadius = pointCount > kDensePointCount ? 1.6 : 2.6;

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) + "\" height=\"" + number(height) +
           "\" viewBox=\"0 0 " + number(width) + " " + number(height) + "\" font-family=\"sans-serif\">\n";
    svg += "<title>" + escapeXml(input.caption) + "</title>\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + number(width) + "\" height=\"" + number(height) + "\" fill=\"#fff\"/>\n";
    svg += "<text x=\"" + number(kMargin) + "\" y=\"" + number(kMargin + 14) + "\" font-size=\"16\">" +
           escapeXml(input.caption) + "</text>\n";

    double inputTotal = 0.0;
    bool inputTotalKnown = inputPanel;
    double optimizedTotal = 0.0;
    for (const SummaryRow& row : rows) {
        optimizedTotal += row.optimizedLength;
        if (row.inputLength) {
            inputTotal += *row.inputLength;
        } else {
            inputTotalKnown = false;
        }
    }
    const double panelTop = kMargin + kCaptionHeight;
    double left = kMargin;
    if (inputPanel) {
        const std::string title = "input order" + (inputTotalKnown ? ": " + lengthText(inputTotal) : std::string());
        svg += drawPanel(title, original, frame, left, panelTop, markerRadius);
        left += kPanelWidth + kGap;
    }
    svg += drawPanel("optimized: " + lengthText(optimizedTotal), optimized, frame, left, panelTop, markerRadius);

    svg += "<g transform=\"translate(" + number(kMargin) + "," + number(legendTop) + ")\">\n";
    for (std::size_t i = 0; i < legendEntries; ++i) svg += legendLine(i, results[i], rows[i]);
    if (legendCut) {
        svg += "<text x=\"18\" y=\"" + number(legendEntries * kLegendLineHeight) + "\" font-size=\"13\">and " +
               std::to_string(results.size() - legendEntries) + " more contours</text>\n";
    }
    svg += legendKeys((legendEntries + (legendCut ? 1 : 0)) * kLegendLineHeight);
    svg += "</g>\n</svg>\n";
    return svg;
}

bool writeTextFile(const std::string& path, const std::string& document) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(document.data(), static_cast<std::streamsize>(document.size()));
    file.close();
    return !file.fail();
}

}  // namespace twcycle
