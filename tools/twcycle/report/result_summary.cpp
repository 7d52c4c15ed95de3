#include "result_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace twcycle {
namespace {

constexpr int kNumberColumn = 13;
constexpr int kCountColumn = 8;
constexpr int kSavingColumn = 9;
constexpr std::string_view kCutMark = "...";

std::string fixed(const char* format, double value) {
    if (!std::isfinite(value)) return "-";
    char buffer[64];
    int written = std::snprintf(buffer, sizeof buffer, format, value);
    if (written <= 0 || static_cast<std::size_t>(written) >= sizeof buffer) return "-";
    std::string text(buffer);
    // A small negative value prints as "-0.0"; the table shows it as "0.0".
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string cutName(const std::string& name) {
    if (name.size() <= kMaxNameColumn) return name;
    return name.substr(0, kMaxNameColumn - kCutMark.size()) + std::string(kCutMark);
}

std::string padRight(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string padLeft(const std::string& text, int width) {
    const std::size_t wanted = static_cast<std::size_t>(width);
    return text.size() >= wanted ? text : std::string(wanted - text.size(), ' ') + text;
}

std::string line(const std::string& name, std::size_t nameWidth, const std::string& points,
                 const std::string& input, const std::string& optimized, const std::string& percent) {
    return padRight(name, nameWidth) + padLeft(points, kCountColumn) + padLeft(input, kNumberColumn) +
           padLeft(optimized, kNumberColumn) + padLeft(percent, kSavingColumn) + "\n";
}

}  // namespace

std::string lengthText(std::optional<double> length) { return length ? fixed("%.3f", *length) : "-"; }

std::string savingText(std::optional<double> percent) { return percent ? fixed("%.1f", *percent) + " %" : "-"; }

double inputOrderLength(PlanePoint start, const std::vector<PlanePoint>& points) {
    double total = 0.0;
    PlanePoint at = start;
    for (const PlanePoint& point : points) {
        total += std::hypot(point.x - at.x, point.y - at.y);
        at = point;
    }
    return total;
}

std::vector<SummaryRow> buildSummary(const std::vector<ResultContour>& results,
                                     const std::vector<SourceContour>* source) {
    const bool matched = source != nullptr && source->size() == results.size();
    std::vector<SummaryRow> rows;
    rows.reserve(results.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        const ResultContour& result = results[i];
        SummaryRow row;
        row.name = result.name;
        row.points = result.points.size();
        row.optimizedLength = result.length;
        if (matched && result.start && (*source)[i].points.size() == result.points.size())
            row.inputLength = inputOrderLength(*result.start, (*source)[i].points);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<double> savingPercent(std::optional<double> input, double optimized) {
    if (!input || !std::isfinite(*input) || !std::isfinite(optimized) || *input <= 0.0) return std::nullopt;
    return (*input - optimized) / *input * 100.0;
}

std::string formatSummary(const std::vector<SummaryRow>& rows) {
    std::size_t nameWidth = std::string_view("contour").size();
    for (const SummaryRow& row : rows) nameWidth = std::max(nameWidth, cutName(row.name).size());
    nameWidth += 2;

    std::string table = line("contour", nameWidth, "points", "input order", "optimized", "saving");
    std::size_t points = 0;
    std::optional<double> input = 0.0;
    double optimized = 0.0;
    for (const SummaryRow& row : rows) {
        table += line(cutName(row.name), nameWidth, std::to_string(row.points), lengthText(row.inputLength),
                      lengthText(row.optimizedLength), savingText(savingPercent(row.inputLength, row.optimizedLength)));
        points += row.points;
        if (input && row.inputLength) {
            *input += *row.inputLength;
        } else {
            input.reset();
        }
        optimized += row.optimizedLength;
    }
    table += line("total", nameWidth, std::to_string(points), lengthText(input), lengthText(optimized),
                  savingText(savingPercent(input, optimized)));
    return table;
}

}  // namespace twcycle
